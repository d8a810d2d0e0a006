// The browser build against baselines from the same run, as rows of the benchmark table:
// the bytes a first visit transfers (gzip, as the server sends them); the first contentful
// paint against a static page with the same controls and no script, on a desktop and on a
// slow phone, and on that phone the time until a first tap on Calculate shows its result;
// and Lighthouse's performance score as its phone. The calculation in the page is
// bench/web_calc.mjs.
// Usage: node bench/web.mjs SITE [RUNS] [--rounds-only]
// With --rounds-only, only the rows of the rounds, not the bytes or Lighthouse's score, which
// do not change from one run to the next.
import { cpSync, mkdtempSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { launch, PredefinedNetworkConditions, quantile, serve } from '../tests/web/browser.mjs';
import { audit } from '../tests/web/lighthouse.mjs';

const [site, runs = '15', only] = process.argv.slice(2);
const roundsOnly = only === '--rounds-only';
const row = (...cells) => console.log(`| ${cells.join(' | ')} |`);

const browser = await launch();
// A first visit, with the service worker's copies of every file.
const server = await serve(site);
const url = `http://127.0.0.1:${server.address().port}/`;
if (!roundsOnly) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.goto(url);
  await page.evaluate(async () => {
    await navigator.serviceWorker.ready;
    const names = await caches.keys();
    await new Promise((done) => setTimeout(done, 500));
    return names;
  });
  await context.close();
  await new Promise((done) => server.close(done));
  row('web: bytes a first visit transfers, gzip, service worker included', `${(server.bytesSent / 1024).toFixed(1)} KiB`, '', '', 'at most 100 KiB');
} else {
  server.close();
}

// The static page: the shown window's markup as the program made it, with the stylesheet
// and no script.
const staticSite = mkdtempSync(join(tmpdir(), 'quinbray-static-'));
{
  const live = await serve(site);
  const page = await browser.newPage();
  await page.goto(`http://127.0.0.1:${live.address().port}/`);
  await page.waitForSelector('html.ready');
  const markup = await page.$eval('#mainfrm', (e) => e.outerHTML);
  await page.close();
  live.close();
  cpSync(join(site, 'style.css'), join(staticSite, 'style.css'));
  writeFileSync(join(staticSite, 'index.html'),
    `<!doctype html><html lang="en"><head><meta charset="utf-8">` +
    `<meta name="viewport" content="width=device-width, initial-scale=1"><title>static</title>` +
    `<link rel="stylesheet" href="style.css"></head><body><main>${markup}</main></body></html>`);
}
const program = await serve(site);
const still = await serve(staticSite);
const address = (server) => `http://127.0.0.1:${server.address().port}/`;

// A phone as Lighthouse's is: 412 px wide, on Chromium's "Slow 4G" with a CPU 4 times slower.
const phone = async (page) => {
  await page.setViewport({ width: 412, height: 823, deviceScaleFactor: 1.75, isMobile: true, hasTouch: true });
  await page.emulateNetworkConditions(PredefinedNetworkConditions['Slow 4G']);
  await page.emulateCPUThrottling(4);
};
const paintedAt = () => new Promise((done) => {
  new PerformanceObserver((list) => {
    const paint = list.getEntriesByName('first-contentful-paint')[0];
    if (paint) done(paint.startTime);
  }).observe({ type: 'paint', buffered: true });
});
// A first tap on Calculate as soon as it shows (its first paint), and the time its result does.
const tapped = async (page) => {
  await page.waitForFunction(() => performance.getEntriesByName('first-contentful-paint').length, { polling: 10 });
  const box = await (await page.$('#mainfrm-cmd1')).boundingBox();
  await page.touchscreen.tap(box.x + box.width / 2, box.y + box.height / 2);
  await page.waitForFunction(() => document.querySelector('#mainfrm-Text1').value === '1.00', { polling: 'raf' });
  return page.evaluate(() => performance.now());
};
const visit = async (url, setUp, measure) => {
  const context = await browser.createBrowserContext(); // a first visit: no cache, no worker
  const page = await context.newPage();
  await setUp?.(page);
  const navigated = page.goto(url, { waitUntil: 'domcontentloaded' });
  const time = await measure(page, navigated);
  await navigated;
  await context.close();
  return time;
};
const painted = async (page, navigated) => {
  await navigated;
  return page.evaluate(paintedAt);
};

// In turn, so that both pages see the same noise.
const times = { desktop: [[], []], phone: [[], []], tap: [] };
for (let i = 0; i < Number(runs); i++) {
  times.desktop[0].push(await visit(address(program), null, painted));
  times.desktop[1].push(await visit(address(still), null, painted));
  times.phone[0].push(await visit(address(program), phone, painted));
  times.phone[1].push(await visit(address(still), phone, painted));
  times.tap.push(await visit(address(program), phone, tapped));
}
// Each side's median, and the median of the rounds' ratios with their interquartile range.
const rowOf = (what, ours, theirs, baseline, goal) => {
  const ratios = ours.map((time, i) => time / theirs[i]);
  const [q1, median, q3] = [0.25, 0.5, 0.75].map((p) => quantile(ratios, p));
  row(`web: ${what}, median of ${runs} rounds`, `${quantile(ours, 0.5).toFixed(0)} ms`,
    `${quantile(theirs, 0.5).toFixed(0)} ms (${baseline})`,
    `${median.toFixed(2)} (IQR ${q1.toFixed(2)} to ${q3.toFixed(2)})`, goal);
};
rowOf('first contentful paint, desktop', ...times.desktop, 'static page, same controls', 'at most 1.10');
rowOf('first contentful paint, phone (Slow 4G, CPU 4 times slower, 412 px)', ...times.phone,
  'static page, same controls, same phone', 'at most 1.10');
rowOf('navigation to the result of a first tap on Calculate, phone', times.tap, times.phone[1],
  "static page's first contentful paint, same phone", 'at most 1.50');
if (!roundsOnly) {
  const { scores } = await audit(address(program), ['performance']);
  row('web: Lighthouse 12 mobile performance score', String(scores.performance), '', '', '100');
}
program.close();
still.close();

await browser.close();
