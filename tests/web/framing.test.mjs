// Another site's page that frames the calculator, to lay its own clicks over it: the site's
// header files for hosts forbid it, as the site's own server does, and where a host sends no
// such header (a generic static server), the page defends itself. In Debian's Chromium, with
// the site on 127.0.0.1 and the framing page on localhost: two origins, as two sites are.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { cpSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { always } from '../../scripts/serve.mjs';
import { launch, serve } from './browser.mjs';

const site = process.env.QUINBRAY_SITE;

// What each host's file says to send with every file of the site, as header → value.
const stated = {
  _headers: (text) => {
    const block = text.split(/\n(?=\S)/).find((lines) => lines.startsWith('/*\n')) ?? '';
    return [...block.matchAll(/^[ \t]+([\w-]+):[ \t]*(.*?)[ \t]*$/gm)];
  },
  '.htaccess': (text) => [...text.matchAll(/^\s*Header always set ([\w-]+) "([^"]*)"$/gm)],
  'nginx-headers.conf': (text) => [...text.matchAll(/^add_header ([\w-]+) "([^"]*)" always;$/gm)],
};

test("the site's files for hosts say to send the headers the site's own server sends", () => {
  for (const [file, read] of Object.entries(stated)) {
    const headers = Object.fromEntries(read(readFileSync(join(site, file), 'utf8')).map(([, name, value]) => [name, value]));
    assert.deepEqual(headers, always, file);
  }
});

// The site as a generic static server serves it, with no header of its own (Python's, as the
// issue's host did), from a copy that also holds pages framing it; the site as its own server
// serves it; and the framing site, whose page frames the address it is given.
let copy, generic, own, framer, browser;
const addresses = {};
before(async () => {
  copy = mkdtempSync(join(tmpdir(), 'quinbray-framed-'));
  cpSync(site, copy, { recursive: true });
  generic = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', copy],
    { stdio: ['ignore', 'pipe', 'ignore'] });
  addresses.generic = await new Promise((done, fail) => {
    let said = '';
    generic.stdout.on('data', (chunk) => {
      said += chunk;
      const port = said.match(/ port (\d+) /)?.[1];
      if (port) done(`http://127.0.0.1:${port}/`);
    });
    generic.on('exit', () => fail(new Error(`python3 -m http.server ended: ${said}`)));
  });
  own = await serve(site);
  addresses.own = `http://127.0.0.1:${own.address().port}/`;
  framer = createServer((request, response) => {
    const page = new URL(request.url, 'http://localhost').searchParams.get('page');
    response.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8' });
    response.end(`<!doctype html><title>Another site</title><iframe src="${page}" width="700" height="500"></iframe>`);
  });
  await new Promise((done) => framer.listen(0, '127.0.0.1', done));
  addresses.framer = (page) => `http://localhost:${framer.address().port}/?page=${encodeURIComponent(page)}`;
  writeFileSync(join(copy, 'frame.html'), '<!doctype html><title>The same site</title><iframe src="./" width="700" height="500"></iframe>');
  writeFileSync(join(copy, 'frame-via-other.html'),
    `<!doctype html><title>The same site</title><iframe src="${addresses.framer(addresses.generic)}" width="700" height="500"></iframe>`);
  browser = await launch();
});
after(async () => {
  await browser?.close();
  generic?.kill();
  own?.close();
  framer?.close();
  rmSync(copy, { recursive: true, force: true });
});

// The frame that holds the site's page, once it has loaded, and what it shows.
async function framed(tab, address) {
  await tab.goto(address, { waitUntil: 'load' });
  const frame = tab.frames().find((f) => f !== tab.mainFrame() && f.url().startsWith(addresses.generic));
  await frame.waitForFunction(() => document.readyState === 'complete');
  // A frame: what its start-up would do next has had its turn.
  await frame.evaluate(() => new Promise((done) => requestAnimationFrame(() => setTimeout(done, 0))));
  return frame;
}
const shows = (frame) => frame.evaluate(() => ({
  line: document.getElementById('framed').hidden ? null : document.getElementById('framed').textContent,
  windows: [...document.querySelectorAll('section.window')].filter((w) => w.checkVisibility()).map((w) => w.id),
}));

test('framed by another origin on a host that sends no header, the page shows only a line, which opens it in its own tab', async () => {
  const rows = [
    ['another site frames it', addresses.framer(addresses.generic)],
    ['another site frames it inside a page of its own site', `${addresses.generic}frame-via-other.html`],
  ];
  for (const [name, address] of rows) {
    const context = await browser.createBrowserContext();
    const tab = await context.newPage();
    try {
      const frame = await framed(tab, address);
      assert.deepEqual(await shows(frame), {
        line: "Quinbray is shown inside another site's page, so it takes no input here. Open it in its own tab",
        windows: [],
      }, name);
      const link = await frame.$eval('#framed a', (a) => [a.href, a.target, a.rel]);
      assert.deepEqual(link, [addresses.generic, '_blank', 'noopener'], name);
      // It takes no input: a click where Calculate was, its access key and typing start
      // nothing, and Tab finds the link alone.
      const box = await (await frame.$('body')).boundingBox();
      await tab.mouse.click(box.x + 60, box.y + 120);
      await tab.keyboard.down('Alt');
      await tab.keyboard.press('KeyC');
      await tab.keyboard.up('Alt');
      await tab.keyboard.type('25');
      await frame.focus('#framed a');
      await tab.keyboard.press('Tab');
      await tab.keyboard.press('Tab');
      assert.deepEqual(await frame.evaluate(() => [document.documentElement.matches('.ready'),
        document.querySelector('main').hidden, document.querySelector('main').getAttribute('aria-busy')]),
      [false, true, null], `${name}: nothing started`);
      assert.deepEqual((await shows(frame)).windows, [], `${name}: after input`);
      // The link opens the page in a tab of its own, where it starts as ever, with no way back
      // to the page that framed it.
      const opened = browser.waitForTarget((t) => t.type() === 'page' && t.url() === addresses.generic && t.browserContext() === context);
      await frame.click('#framed a');
      const own = await (await opened).page();
      await own.waitForSelector('html.ready');
      assert.deepEqual(await own.evaluate(() => [window.top === window, window.opener, document.getElementById('framed').hidden,
        document.getElementById('mainfrm').checkVisibility()]), [true, null, true, true], `${name}: its own tab`);
    } finally {
      await context.close();
    }
  }
});

test('framed by its own origin, the page works; on a host that sends the headers, another site cannot frame it', async () => {
  const context = await browser.createBrowserContext();
  const tab = await context.newPage();
  try {
    const frame = await framed(tab, `${addresses.generic}frame.html`);
    await frame.waitForSelector('html.ready');
    assert.deepEqual(await shows(frame), { line: null, windows: ['mainfrm'] }, 'framed by its own site');
    await frame.click('#mainfrm-cmd1');
    assert.equal(await frame.$eval('#mainfrm-Text1', (e) => e.value), '1.00', 'framed by its own site: Calculate');

    // The site's own server sends the headers, and the browser refuses the frame.
    await tab.goto(addresses.framer(addresses.own), { waitUntil: 'load' });
    const [refused] = tab.frames().filter((f) => f !== tab.mainFrame());
    assert.ok(!refused.url().startsWith(addresses.own), `the frame shows ${refused.url()}`);
  } finally {
    await context.close();
  }
});
