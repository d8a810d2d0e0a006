// The browser build against baselines from the same run, as rows of the benchmark table:
// the bytes a first visit transfers (gzip, as the server sends them), and the time from
// navigation to the form being usable against a static page with the same controls and no
// script. The calculation in the page is bench/web_calc.mjs.
// Usage: node bench/web.mjs SITE [RUNS]
import { cpSync, mkdtempSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { launch, serve } from '../tests/web/browser.mjs';

const [site, runs = '15'] = process.argv.slice(2);
const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
const row = (...cells) => console.log(`| ${cells.join(' | ')} |`);

const browser = await launch();
const visit = async (url, usable) => {
  const context = await browser.createBrowserContext(); // a first visit: no cache, no worker
  const page = await context.newPage();
  await page.goto(url);
  const time = await page.evaluate(usable);
  await context.close();
  return time;
};

// A first visit, with the service worker's copies of every file.
const server = await serve(site);
const url = `http://127.0.0.1:${server.address().port}/`;
{
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
}

// The static page: the shown window's markup as the program made it, with the stylesheet
// and no script.
const staticSite = mkdtempSync(join(tmpdir(), 'quinbray-static-'));
{
  const live = await serve(site);
  const page = await browser.newPage();
  await page.goto(`http://127.0.0.1:${live.address().port}/`);
  await page.waitForSelector('#mainfrm:not([hidden])');
  const markup = await page.$eval('#mainfrm', (e) => e.outerHTML);
  await page.close();
  live.close();
  cpSync(join(site, 'style.css'), join(staticSite, 'style.css'));
  writeFileSync(join(staticSite, 'index.html'),
    `<!doctype html><html lang="en"><head><meta charset="utf-8"><title>static</title>` +
    `<link rel="stylesheet" href="style.css"></head><body><main>${markup}</main></body></html>`);
}
const program = await serve(site);
const still = await serve(staticSite);
// Usable is shown: the first paint with content, the same event for both pages. The program
// paints nothing before its load step has run and its window is shown.
const paintedAt = () => new Promise((done) => {
  new PerformanceObserver((list) => {
    const paint = list.getEntriesByName('first-contentful-paint')[0];
    if (paint) done(paint.startTime);
  }).observe({ type: 'paint', buffered: true });
});
const times = { program: [], still: [] };
for (let i = 0; i < Number(runs); i++) { // in turn, so that both see the same noise
  times.program.push(await visit(`http://127.0.0.1:${program.address().port}/`, paintedAt));
  times.still.push(await visit(`http://127.0.0.1:${still.address().port}/`, paintedAt));
}
program.close();
still.close();
const [ours, theirs] = [median(times.program), median(times.still)];
row(`web: navigation to the form shown and usable (first contentful paint), median of ${runs}`, `${ours.toFixed(1)} ms`,
  `${theirs.toFixed(1)} ms (static page, same controls)`, (ours / theirs).toFixed(2), 'at most 1.25');

await browser.close();
