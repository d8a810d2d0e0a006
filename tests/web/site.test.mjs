// The built site in Debian's Chromium, used as a person would: real pointer, touch and key
// input through the DevTools protocol, on a page served over HTTP from 127.0.0.1.
import { after, afterEach, before, beforeEach, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { appendFileSync, cpSync, mkdtempSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { launch, runWasiCommand, serve } from './browser.mjs';
import * as designed from './designed.mjs';
import { audit } from './lighthouse.mjs';

const site = process.env.QUINBRAY_SITE;
let server, browser, page, url;

// The calculator window as designed: its title, client area, controls, the result's colour,
// the lists' items, and the five inputs' texts at start-up.
const design = {
  title: designed.windows.mainfrm.title,
  client: [designed.windows.mainfrm.width, designed.windows.mainfrm.height],
  controls: designed.controls.filter((c) => c.window === 'mainfrm'),
  resultColour: designed.control('mainfrm', 'Text1').background,
  lists: Object.fromEntries(Object.entries(designed.startUp).filter(([, s]) => s.items.length)
    .map(([name, s]) => [name, s.items])),
};
const startUp = Object.fromEntries(Object.entries(designed.startUpTexts).filter(([name]) => name !== 'Text1'));

const $ = (name) => `#mainfrm-${name}`;
const value = (name) => page.$eval($(name), (e) => e.value);
const result = () => value('Text1');
const center = async (selector) => {
  const box = await (await page.$(selector)).boundingBox();
  return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
};
// A round trip through the page's event loop and a frame: what the input did is done.
const settle = (tab = page) => tab.evaluate(() => new Promise((done) => requestAnimationFrame(() => setTimeout(done, 0))));
async function type(name, text) {
  await page.click($(name), { clickCount: 3 });
  await page.keyboard.down('Control');
  await page.keyboard.press('KeyA');
  await page.keyboard.up('Control');
  await page.keyboard.type(text);
}
async function fill(texts) {
  for (const [name, text] of Object.entries(texts)) await type(name, text);
}
const shown = () => page.$$eval('section.window:not([hidden])', (all) => all.map((e) => e.id));
const focused = () => page.evaluate(() => document.activeElement?.id);

before(async () => {
  server = await serve(site);
  url = `http://127.0.0.1:${server.address().port}/`;
  browser = await launch();
});

// Each test starts on a page of its own, ready, so that none depends on what another did.
beforeEach(async () => {
  page = await open();
  await ready(page);
});

afterEach(async () => {
  await page?.close();
  page = undefined;
});

after(async () => {
  await browser?.close();
  server?.close();
});

// A tab of its own, in a context of its own (no service worker, no cache) unless `incognito`
// is false, with the viewport given; `respond` maps files to what answers them in place of
// the server, `hold` names files whose download waits for `held`, and `before` runs in the
// page before any of its scripts. The tab's `holding` settles once every file held has been
// asked for, and so is waiting.
const desktop = { width: 800, height: 600 };
async function open({ viewport = desktop, respond = {}, hold = [], held, before, javaScript = true, address = url,
  incognito = true } = {}) {
  const context = incognito ? await browser.createBrowserContext() : browser.defaultBrowserContext();
  const tab = await context.newPage();
  await tab.setViewport(viewport);
  await tab.setJavaScriptEnabled(javaScript);
  if (before) await tab.evaluateOnNewDocument(before);
  const asked = new Map();
  tab.holding = Promise.all(hold.map((file) => new Promise((done) => asked.set(file, done))));
  if (Object.keys(respond).length || hold.length) {
    await tab.setRequestInterception(true);
    tab.on('request', async (r) => {
      const file = new URL(r.url()).pathname.slice(1);
      if (hold.includes(file)) {
        asked.get(file)();
        await held;
      }
      return respond[file] ? respond[file](r) : r.continue();
    });
  }
  await tab.goto(address, { waitUntil: 'domcontentloaded' });
  tab.cdp = await tab.createCDPSession();
  if (incognito) tab.close = () => context.close();
  return tab;
}
// The site through a server that sends the program in `pieces`, `gap` milliseconds apart,
// and stops after `sent` of them; every other file comes from the site's own server.
async function trickle({ pieces, gap, sent = pieces }) {
  const wasm = readFileSync(join(site, 'Quinbray.wasm'));
  const size = Math.ceil(wasm.length / pieces);
  const slow = createServer(async (request, response) => {
    if (request.url !== '/Quinbray.wasm') {
      const answer = await fetch(new URL(request.url, url));
      response.writeHead(answer.status, { 'content-type': answer.headers.get('content-type') });
      return response.end(Buffer.from(await answer.arrayBuffer()));
    }
    response.writeHead(200, { 'content-type': 'application/wasm', 'content-length': wasm.length });
    for (let i = 0; i < sent; i++) {
      if (i) await new Promise((done) => setTimeout(done, gap));
      response.write(wasm.subarray(i * size, (i + 1) * size));
    }
    if (sent === pieces) response.end();
  });
  await new Promise((done) => slow.listen(0, '127.0.0.1', done));
  slow.url = `http://127.0.0.1:${slow.address().port}/`;
  return slow;
}
const ready = (tab) => tab.waitForSelector('html.ready');
// Runs each [name, run] row in a tab of its own, once the program is ready there.
async function eachInATab(rows) {
  for (const [name, run] of rows) {
    const tab = await open();
    await ready(tab);
    try {
      await run(tab);
    } catch (error) {
      error.message = `${name}: ${error.message}`;
      throw error;
    } finally {
      await tab.close();
    }
  }
}
// The window painted, which is when a person can first act on it.
const painted = (tab) => tab.waitForFunction(() => performance.getEntriesByName('first-contentful-paint').length > 0,
  { polling: 10 });
const values = (tab) => tab.$$eval('#mainfrm input', (all) => Object.fromEntries(all.map((e) => [e.id.slice(8), e.value])));
const shownIn = (tab) => tab.$$eval('section.window:not([hidden])', (all) => all.map((e) => e.id));
const middleOf = async (tab, selector) => {
  const box = await (await tab.$(selector)).boundingBox();
  return { x: box.x + box.width / 2, y: box.y + box.height / 2, box };
};
// Records what the program's exports are asked, in window.calls, by wrapping the instance.
function spyOnProgram() {
  const wrap = (result) => {
    const exports = { ...result.instance.exports };
    for (const name of ['ui_click', 'ui_mouse_up'])
      exports[name] = (...args) => (window.calls.push([name, ...args]), result.instance.exports[name](...args));
    return { ...result, instance: { exports } };
  };
  window.calls = [];
  const { instantiate, instantiateStreaming } = WebAssembly;
  WebAssembly.instantiateStreaming = async (...args) => wrap(await instantiateStreaming(...args));
  WebAssembly.instantiate = async (...args) => wrap(await instantiate(...args));
}
// A key as a keyboard layout types it: `key` is the character, `code` the key's place.
async function altKey(tab, key, code) {
  const event = { modifiers: 1, key, code, windowsVirtualKeyCode: key.toUpperCase().charCodeAt(0) };
  await tab.cdp.send('Input.dispatchKeyEvent', { type: 'rawKeyDown', ...event });
  await tab.cdp.send('Input.dispatchKeyEvent', { type: 'keyUp', ...event });
}

test('the calculator window as designed, with its start-up values and lists', async () => {
  assert.equal(await page.title(), design.title);
  assert.deepEqual(await shown(), ['mainfrm']);
  const client = await page.$eval('#mainfrm .client', (e) => [e.clientWidth, e.clientHeight]);
  assert.deepEqual(client, design.client);
  assert.equal(await page.$eval('#mainfrm-title', (e) => e.textContent), design.title);

  // Every control where the design puts it.
  for (const { name, x, y, width, height } of design.controls) {
    const box = await page.$eval($(name), (e) => {
      const c = e.closest('.control').getBoundingClientRect();
      const o = e.closest('.client').getBoundingClientRect();
      return [c.left - o.left, c.top - o.top, c.width, c.height];
    });
    assert.deepEqual(box, [x, y, width, height], name);
  }

  const shot = await page.screenshot({ clip: { ...(await center($('Text1'))), width: 1, height: 1 }, encoding: 'binary' });
  const pixel = await page.evaluate(async (png) => {
    const image = await createImageBitmap(new Blob([new Uint8Array(png)], { type: 'image/png' }));
    const canvas = new OffscreenCanvas(1, 1);
    const context = canvas.getContext('2d');
    context.drawImage(image, 0, 0);
    return [...context.getImageData(0, 0, 1, 1).data.slice(0, 3)];
  }, [...shot]);
  assert.deepEqual(pixel, design.resultColour, 'the result field is pale yellow');

  for (const [name, text] of Object.entries(designed.startUpTexts)) assert.equal(await value(name), text, name);
  for (const [name, items] of Object.entries(design.lists))
    assert.deepEqual(await page.$$eval(`${$(name)}-list li`, (all) => all.map((e) => e.textContent)), items, name);
});

test('Calculate runs on the release of any mouse button pressed on it, wherever it is released', async () => {
  const cases = [
    { texts: { Combo1: '10', Combo2: '4', Text3: '0.5', Combo4: '1000', Combo5: '3' }, button: 'left', expected: '3.75' },
    { texts: { Combo1: '15' }, button: 'right', expected: '5.62' }, // 5.625, a tie, to even
    { texts: { Combo1: '5', Text3: '1', Combo4: '2500', Combo5: '2' }, button: 'middle', expected: '1.00' },
    { texts: { Combo2: '7' }, button: 'left', offButton: true, expected: '0.57' },
    { texts: { Combo4: '2500 lb', Combo2: '4' }, button: 'right', offButton: true, expected: '1.00' },
  ];
  for (const { texts, button, offButton, expected } of cases) {
    const earlier = await result();
    await fill(texts);
    assert.equal(await result(), earlier, 'typing computes nothing');
    const at = await center($('cmd1'));
    await page.mouse.move(at.x, at.y);
    await page.mouse.down({ button });
    if (offButton) await page.mouse.move(at.x + 200, at.y + 150);
    await page.mouse.up({ button });
    await settle();
    assert.equal(await result(), expected, `${button}${offButton ? ', released off the button' : ''} ${await page.$$eval('#mainfrm input', (all) => all.map((e) => e.value))}`);
  }
});

test('the keyboard, and a press begun elsewhere, never calculate', async () => {
  await fill(startUp);
  await page.click($('cmd1'));
  assert.equal(await result(), '1.00');
  await type('Combo1', '10'); // a calculation now would give 2.00
  const tries = [
    async () => { await page.focus($('cmd1')); await page.keyboard.press('Enter'); },
    async () => { await page.focus($('cmd1')); await page.keyboard.press('Space'); },
    async () => { await page.keyboard.down('Alt'); await page.keyboard.press('KeyC'); await page.keyboard.up('Alt'); },
    async () => {
      const from = await center($('Text3')), to = await center($('cmd1'));
      await page.mouse.move(from.x, from.y);
      await page.mouse.down();
      await page.mouse.move(to.x, to.y);
      await page.mouse.up();
    },
  ];
  for (const attempt of tries) {
    await attempt();
    await settle();
    assert.equal(await result(), '1.00');
  }
});

test('Tab follows the designed order and goes on to the browser; lists are picked by mouse and by keys', async () => {
  await page.focus($(designed.tabOrder.mainfrm[0]));
  const order = [];
  for (let i = 0; i < designed.tabOrder.mainfrm.length; i++) {
    order.push(await focused());
    await page.keyboard.press('Tab');
  }
  assert.deepEqual(order, designed.tabOrder.mainfrm.map((n) => `mainfrm-${n}`));
  assert.equal(await focused(), '', 'Tab from Exit leaves the page for the browser');
  // Shift+Tab from the first field is the browser's too: the page takes no Tab.
  await page.evaluate(() => addEventListener('keydown', (e) => (window.tabTaken = e.defaultPrevented)));
  await page.focus($('Combo1'));
  await page.keyboard.down('Shift');
  await page.keyboard.press('Tab');
  await page.keyboard.up('Shift');
  assert.equal(await page.evaluate(() => window.tabTaken), false, 'Shift+Tab from the first field is left to the browser');

  await page.click(`${$('Combo1')} + .drop`);
  assert.equal(await page.$eval($('Combo1'), (e) => e.getAttribute('aria-expanded')), 'true');
  await page.click(`${$('Combo1')}-list li:nth-child(2)`);
  assert.equal(await value('Combo1'), '12.5');
  assert.equal(await page.$eval(`${$('Combo1')}-list`, (e) => e.hidden), true);

  await page.focus($('Combo4'));
  for (const key of ['ArrowDown', 'ArrowDown', 'ArrowDown', 'Enter']) await page.keyboard.press(key);
  assert.equal(await value('Combo4'), '10000', 'opened at 2500, two down');
  for (const key of ['ArrowDown', 'ArrowUp', 'Escape']) await page.keyboard.press(key);
  assert.equal(await value('Combo4'), '10000', 'Escape closes and puts back the text from before');
  assert.equal(await page.$eval($('Combo4'), (e) => e.getAttribute('aria-expanded')), 'false');
});

// What the keys, a press elsewhere and a tap do to an open list: `keys` are pressed in the
// capacity's list (start-up text 2500), then `then` is done; `text` is its text after, `focus`
// where the focus is, `result` what Calculate then gives, or '' when it did not run.
test('an open list: the arrows move its text, leaving keeps it, Escape puts it back, a press outside only closes it', async () => {
  const press = (selector, x = 0.5, y = 0.5) => async (tab) => {
    const { box } = await middleOf(tab, selector);
    await tab.mouse.click(box.x + box.width * x, box.y + box.height * y);
  };
  const tap = (selector) => async (tab) => {
    const { x, y } = await middleOf(tab, selector);
    await tab.touchscreen.tap(x, y);
  };
  const keys = (...chords) => async (tab) => {
    for (const chord of chords) {
      const [key, ...modifiers] = chord.split('+').reverse();
      for (const modifier of modifiers) await tab.keyboard.down(modifier);
      await tab.keyboard.press(key);
      for (const modifier of modifiers) await tab.keyboard.up(modifier);
    }
  };
  const calculate = press('#mainfrm-cmd1');
  const rows = [
    { name: 'Tab after arrowing up twice', keys: ['Alt+ArrowDown', 'ArrowUp', 'ArrowUp'], then: keys('Tab'),
      text: '1000', focus: 'mainfrm-cmd1', result: '2.50' },
    { name: 'Shift+Tab after arrowing down', keys: ['ArrowDown', 'ArrowDown'], then: keys('Shift+Tab'),
      text: '5000', focus: 'mainfrm-Combo2', result: '0.50' },
    { name: 'a click on another field after arrowing: closes only', keys: ['ArrowDown', 'ArrowDown'], then: press('#mainfrm-Text3'),
      text: '5000', focus: 'mainfrm-Combo4', result: '0.50' },
    { name: 'Alt+Up after arrowing', keys: ['F4', 'ArrowDown'], then: keys('Alt+ArrowUp'), text: '5000', result: '0.50' },
    { name: 'Escape after arrowing puts back the text', keys: ['ArrowDown', 'ArrowDown', 'ArrowDown'], then: keys('Escape'),
      text: startUp.Combo4, result: '1.00' },
    { name: 'Escape after typing keeps what was typed', keys: ['ArrowDown', 'ArrowDown', 'Backspace', '8'], then: keys('Escape'),
      text: '8', result: '312.50' },
    { name: 'a press on the title bar only closes', keys: ['ArrowDown'], then: press('#mainfrm-title'), text: startUp.Combo4, result: '1.00' },
    { name: "a press on the window's empty area only closes", keys: ['ArrowDown', 'ArrowDown'], then: press('#mainfrm .client', 0.97, 0.97),
      text: '5000', result: '0.50' },
    { name: 'a press on Exit only closes', keys: ['ArrowDown'], then: press('#mainfrm-cmd3'), text: startUp.Combo4, result: '1.00' },
    { name: 'a press on a caption only closes', keys: ['ArrowDown'], then: press('#mainfrm-lbl1'), text: startUp.Combo4, focus: 'mainfrm-Combo4', result: '1.00' },
    { name: 'a right-button press on Calculate only closes', keys: ['ArrowDown'],
      then: async (tab) => {
        const { x, y } = await middleOf(tab, '#mainfrm-cmd1');
        await tab.mouse.click(x, y, { button: 'right' });
      }, text: startUp.Combo4, result: '1.00' },
    { name: 'a tap on Calculate only closes', phone: true, then: tap('#mainfrm-cmd1'), text: startUp.Combo4, result: '1.00' },
  ];
  for (const row of rows) {
    const phone = { width: 412, height: 823, deviceScaleFactor: 1.75, isMobile: true, hasTouch: true };
    const tab = await open(row.phone ? { viewport: phone } : {});
    await ready(tab);
    if (row.phone) await tap('#mainfrm-Combo4 + .drop')(tab);
    else {
      await tab.focus('#mainfrm-Combo4');
      await keys(...row.keys)(tab);
    }
    await tab.waitForSelector('#mainfrm-Combo4-list:not([hidden])');
    await row.then(tab);
    const seen = await tab.evaluate(() => ({ text: document.querySelector('#mainfrm-Combo4').value,
      open: !document.querySelector('#mainfrm-Combo4-list').hidden, focus: document.activeElement.id,
      result: document.querySelector('#mainfrm-Text1').value,
      shown: [...document.querySelectorAll('section.window:not([hidden])')].map((e) => e.id) }));
    assert.deepEqual(seen, { text: row.text, open: false, focus: row.focus ?? 'mainfrm-Combo4', result: '', shown: ['mainfrm'] }, row.name);
    await (row.phone ? tap : press)('#mainfrm-cmd1')(tab);
    await tab.waitForFunction(() => document.querySelector('#mainfrm-Text1').value !== '');
    assert.equal(await tab.$eval('#mainfrm-Text1', (e) => e.value), row.result, `${row.name}: Calculate, once the list is closed`);
    await tab.close();
  }
});

test('a quotient that is not finite gives a modal message and empties the result', async () => {
  await fill({ ...startUp, Combo2: '0' });
  await page.click($('cmd1'));
  const dialog = await page.waitForSelector('dialog[open]');
  assert.equal(await dialog.$eval('h1', (e) => e.textContent), design.title); // titled like its window
  assert.match(await dialog.$eval('p', (e) => e.textContent), /must not be zero/);
  assert.equal(await result(), '');
  await page.keyboard.press('Enter'); // OK has the focus
  await page.waitForFunction(() => !document.querySelector('dialog')); // it goes on its close event
});

test('Help and Close take turns, keep every value and use one help window', async () => {
  await fill({ Combo1: '12', Combo2: '3', Text3: '0.2', Combo4: '50', Combo5: '3' });
  await page.click($('cmd1'));
  const before = await page.$$eval('#mainfrm input', (all) => all.map((e) => e.value));
  for (const [open, close] of [['click', 'click'], ['Alt+H', 'Alt+C']]) {
    if (open === 'click') await page.click($('cmd2'));
    else { await page.keyboard.down('Alt'); await page.keyboard.press('KeyH'); await page.keyboard.up('Alt'); }
    assert.deepEqual(await shown(), ['helpfrm']);
    assert.equal(await page.title(), `${designed.windows.helpfrm.title} – ${design.title}`);
    assert.equal(await page.$eval('#helpfrm-title', (e) => e.textContent), designed.windows.helpfrm.title);
    assert.equal(await page.$$eval('#helpfrm', (all) => all.length), 1);
    const credit = await page.$eval('#helpfrm-Label5', (e) => [e.textContent, getComputedStyle(e).color]);
    assert.deepEqual(credit, ['Quinbray Ver 1.01   May 2002', 'rgb(0, 0, 255)']);
    if (close === 'click') await page.click('#helpfrm-cmd1');
    else { await page.keyboard.down('Alt'); await page.keyboard.press('KeyC'); await page.keyboard.up('Alt'); }
    assert.deepEqual(await shown(), ['mainfrm']);
    assert.deepEqual(await page.$$eval('#mainfrm input', (all) => all.map((e) => e.value)), before);
  }
  assert.equal(await result(), '48.00');
});

test('long pasted texts with any characters are taken whole', async () => {
  await page.browserContext().overridePermissions(url, ['clipboard-read', 'clipboard-write', 'clipboard-sanitized-write']);
  for (const [name, number] of Object.entries(startUp)) {
    const text = `${number} ${'µ漢€'.repeat(11000)}`.slice(0, 32767);
    await page.evaluate((t) => navigator.clipboard.writeText(t), text);
    await page.focus($(name));
    await page.keyboard.down('Control');
    await page.keyboard.press('KeyA');
    await page.keyboard.press('KeyV', { commands: ['paste'] });
    await page.keyboard.up('Control');
    assert.equal(await value(name), text, name);
  }
  await page.click($('cmd1'));
  assert.equal(await result(), '1.00');
});

test("Chromium's accessibility tree names every input by its caption", async () => {
  const tree = await page.accessibility.snapshot({ interestingOnly: false });
  const nodes = [];
  const walk = (node) => { nodes.push(node); node.children?.forEach(walk); };
  walk(tree);
  const named = (role, name) => nodes.some((n) => n.role === role && n.name === name);
  const caption = (name) => designed.control('mainfrm', name).caption.replace('&', '');
  for (const [name, { label, items }] of Object.entries(designed.startUp))
    assert.ok(named(items.length ? 'combobox' : 'textbox', caption(label)), `${name}: ${caption(label)}`);
  for (const button of ['cmd1', 'cmd2', 'cmd3']) assert.ok(named('button', caption(button)), caption(button));
});

test('the calculation in the browser gives exactly the native text on the shared table', async () => {
  const corpus = process.env.QUINBRAY_CORPUS;
  const rows = [readFileSync(process.env.QUINBRAY_CASES, 'utf8').trimEnd()];
  for (const file of readdirSync(corpus).sort()) { // a seed is five lines, one text each
    const lines = readFileSync(join(corpus, file), 'utf8').split('\n');
    const texts = Array.from({ length: 5 }, (_, i) => (lines[i] ?? '').replace(/[\\|]/g, '\\$&'));
    rows.push(['calculate', file, ...texts, ''].join('|'));
  }
  const input = `${rows.join('\n')}\n`;
  const native = execFileSync(process.env.QUINBRAY_CALC_TABLE_HOST, { input, encoding: 'utf8' });
  const wasm = [...readFileSync(process.env.QUINBRAY_CALC_TABLE)];
  const { output } = await page.evaluate(runWasiCommand, wasm, input, 1);
  assert.equal(output, native);
});

// The site from a server of its own, which the test then stops, in the browser's own context:
// Chromium checks no installability in another.
test('offline after one visit, and installable', async () => {
  const own = await serve(site);
  const address = `http://127.0.0.1:${own.address().port}/`;
  try {
    await page.close();
    page = await open({ address, incognito: false });
    await page.waitForSelector('#mainfrm:not([hidden])');
    await page.evaluate(() => navigator.serviceWorker.ready);
    const client = await page.createCDPSession();
    const { installabilityErrors } = await client.send('Page.getInstallabilityErrors');
    assert.deepEqual(installabilityErrors, []);
    const manifest = await page.evaluate(async () => (await fetch('manifest.webmanifest')).json());
    assert.deepEqual(manifest.icons.map((i) => i.sizes), ['192x192', '512x512']);

    const requests = [];
    page.on('request', (r) => requests.push(r.url()));
    await new Promise((done) => own.close(done)); // the network is gone
    await page.setOfflineMode(true);
    await page.reload();
    await page.waitForSelector('#mainfrm:not([hidden])');
    await type('Combo1', '15');
    await page.click($('cmd1'));
    assert.equal(await result(), '3.00');
    assert.ok(requests.every((r) => r.startsWith(address)), 'no request leaves the site');
  } finally {
    own.close();
  }
});

// A new version waits while another page of the older one is open, reloads included; the only
// page of the site open gets it with one reload.
// An update found while the site is open: `others` pages of the site stay open beside the
// one that is reloaded; each load gives what the page shows, the stylesheet its later
// requests get, and the caches kept.
test('an update: a page keeps its version while another is open, and the only page gets the new one on a reload', async () => {
  const scenarios = [
    { others: 1, loads: [['reload', ['first', 'first', 2]], ['reload', ['first', 'first', 2]]] },
    { others: 0, loads: [['reload', ['second', 'second', 1]], ['offline', ['second', 'second', 1]]] },
  ];
  for (const { others, loads } of scenarios) {
    const copy = mkdtempSync(join(tmpdir(), 'quinbray-site-'));
    cpSync(site, copy, { recursive: true });
    const live = await serve(copy);
    const address = `http://127.0.0.1:${live.address().port}/`;
    const asked = [];
    live.on('request', (request, response) => response.on('finish', () => asked.push(`${request.url} ${response.statusCode}`)));
    const context = await browser.createBrowserContext();
    const visit = await context.newPage();
    const state = () => visit.evaluate(async () => [
      getComputedStyle(document.documentElement).getPropertyValue('--build') || 'first',
      (await (await fetch('style.css')).text()).includes('--build') ? 'second' : 'first',
      (await caches.keys()).length,
    ]);
    const load = async (how) => {
      await (how === 'reload' ? visit.reload() : visit.goto(address));
      await visit.waitForSelector('#mainfrm:not([hidden])');
    };
    const name = `${others} other pages open`;
    try {
      await load('open');
      await visit.evaluate(() => navigator.serviceWorker.ready);
      const [first] = await visit.evaluate(() => caches.keys());
      for (let i = 0; i < others; i++) await (await context.newPage()).goto(address);
      await visit.bringToFront();
      // The second version differs in one file; its worker is written as the build writes it.
      appendFileSync(join(copy, 'style.css'), '\n:root { --build: second }\n');
      execFileSync(process.env.QUINBRAY_CMAKE, [`-DSITE=${copy}`, `-DFILES=${process.env.QUINBRAY_SITE_FILES}`,
        '-P', process.env.QUINBRAY_WRITE_WORKER]);
      asked.length = 0;
      await load('reload'); // the browser finds the new worker, which installs and waits
      await visit.waitForFunction(async () => (await navigator.serviceWorker.getRegistration()).waiting?.state === 'installed', { polling: 100 });
      for (const [how, expected] of loads) {
        if (how === 'offline') {
          await new Promise((done) => live.close(done));
          await visit.setOfflineMode(true);
        }
        await load('reload');
        // The new version takes over, and the page loads once more.
        if (expected[0] === 'second')
          await visit.waitForFunction(() => getComputedStyle(document.documentElement).getPropertyValue('--build') === 'second');
        assert.deepEqual(await state(), expected, `${name}: ${how}`);
      }
      if (others) continue;
      assert.ok(!(await visit.evaluate(() => caches.keys())).includes(first), 'the older cache is gone');
      // Besides the browser's checks of the worker, the server is asked for the changed file only.
      assert.deepEqual(asked.filter((line) => !line.startsWith('/sw.js ')), ['/style.css 200']);
      await visit.click($('cmd1'));
      assert.equal(await visit.$eval($('Text1'), (e) => e.value), '1.00');
    } finally {
      await context.close();
      live.close();
      rmSync(copy, { recursive: true, force: true });
    }
  }
});

// The browser's Back (a desktop's button, Android's gesture), having come from another page:
// `act` is done on the calculator, then Back; `shown` is the window then, or none where Back
// left for the page before; a second Back, where the calculator stays, leaves it.
test("Back closes the help window as Close does, and leaves from the main window", async () => {
  const alt = (letter) => (tab) => altKey(tab, letter, `Key${letter.toUpperCase()}`);
  const click = (selector) => (tab) => tab.click(selector);
  const rows = [
    { name: 'Help, then Back', act: [click('#mainfrm-cmd2')], shown: ['mainfrm'] },
    { name: 'Alt+H, then Back', act: [alt('h')], shown: ['mainfrm'] },
    { name: 'Help, Close, then Back', act: [click('#mainfrm-cmd2'), click('#helpfrm-cmd1')], shown: null },
    { name: 'Help, Alt+C, Help, then Back', act: [alt('h'), alt('c'), click('#mainfrm-cmd2')], shown: ['mainfrm'] },
    { name: 'Back on the main window', act: [], shown: null },
  ];
  const before = `${url}manifest.webmanifest`;
  for (const { name, act, shown } of rows) {
    const tab = await open();
    await tab.goto(before);
    await tab.goto(url);
    await ready(tab);
    await tab.click('#mainfrm-Combo2', { clickCount: 3 });
    await tab.keyboard.type('8');
    await tab.click('#mainfrm-cmd1');
    for (const step of act) await step(tab);
    // The history has followed the windows (a Close takes its entry back a frame later).
    await tab.waitForFunction(() => !document.querySelector('.window.going') &&
      (history.state?.window ?? 'mainfrm') === document.querySelector('section.window:not([hidden])')?.id);
    await tab.goBack();
    if (shown) {
      await tab.waitForSelector('#mainfrm:not([hidden])');
      assert.deepEqual([await shownIn(tab), tab.url(), await tab.title()], [shown, url, design.title], name);
      assert.deepEqual(await values(tab), { ...startUp, Combo2: '8', Text1: '0.50' }, name);
      await tab.goBack();
    }
    assert.equal(tab.url(), before, `${name}: Back leaves`);
    await tab.close();
  }
});

test('Exit ends the program: both windows go and nothing more is handled', async () => {
  await page.click($('cmd2'));
  await page.click('#helpfrm-cmd1');
  await page.keyboard.down('Alt'); // Exit by its access key; its click is tested on the desktop
  await page.keyboard.press('KeyX');
  await page.keyboard.up('Alt');
  assert.equal(await page.$$eval('section.window', (all) => all.length), 0);
  assert.equal(await page.$eval('#ended', (e) => e.hidden), false);
  assert.equal(await page.$eval('#ended a', (e) => e.getAttribute('href')), './');
  await page.keyboard.down('Alt');
  await page.keyboard.press('KeyH');
  await page.keyboard.up('Alt');
  await settle();
  assert.equal(await page.$$eval('section.window', (all) => all.length), 0);
});

test('before the program is ready, the window is painted and keeps what the user does', async () => {
  const rows = [
    { name: 'typed text stays and a Calculate press is answered',
      act: async (tab) => {
        await tab.click('#mainfrm-Combo2', { clickCount: 3 });
        await tab.keyboard.type('8');
        const at = await middleOf(tab, '#mainfrm-cmd1');
        await tab.mouse.click(at.x, at.y);
      },
      then: { values: { Combo2: '8', Text1: '0.50' }, shown: ['mainfrm'] } },
    { name: "before even the page's modules are there, a Calculate press is kept",
      hold: ['Quinbray.wasm', 'page.js'],
      act: async (tab) => {
        const at = await middleOf(tab, '#mainfrm-cmd1');
        await tab.mouse.click(at.x, at.y, { button: 'right' });
      },
      then: { values: { Text1: '1.00' }, shown: ['mainfrm'] } },
    { name: "a list's keys pressed before the page's modules are there are not done again",
      hold: ['Quinbray.wasm', 'page.js'],
      act: async (tab) => {
        await tab.click('#mainfrm-Combo4');
        for (const key of ['ArrowDown', 'ArrowDown', '0', 'Enter']) await tab.keyboard.press(key);
      },
      then: { values: { Combo4: '25000', Text1: '' }, shown: ['mainfrm'] } },
    { name: 'presses behind the warning the first one brings are not done',
      act: async (tab) => {
        await tab.click('#mainfrm-Combo2', { clickCount: 3 });
        await tab.keyboard.type('0');
        for (const button of ['cmd1', 'cmd1', 'cmd2']) await tab.click(`#mainfrm-${button}`);
      },
      then: { values: { Text1: '' }, shown: ['mainfrm'], warnings: 1 } },
    { name: 'a picked item stays',
      act: async (tab) => {
        await tab.click('#mainfrm-Combo1 + .drop');
        await tab.click('#mainfrm-Combo1-list li:nth-child(2)');
      },
      then: { values: { Combo1: '12.5', Text1: '' }, shown: ['mainfrm'] } },
    { name: 'Help', act: (tab) => tab.click('#mainfrm-cmd2'), then: { shown: ['helpfrm'] } },
    { name: 'Exit', act: (tab) => altKey(tab, 'x', 'KeyX'), then: { shown: [], ended: true } },
  ];
  for (const { name, act, then, hold = ['Quinbray.wasm'] } of rows) {
    let release;
    const held = new Promise((done) => (release = done));
    const tab = await open({ hold, held });
    await painted(tab);
    assert.deepEqual(await values(tab), { ...startUp, Text1: '' }, 'painted with the start-up values');
    await act(tab);
    // Busy, for assistive technology and for the eye: a bar runs along the title's foot.
    const busy = () => tab.evaluate(() => [document.querySelector('main').getAttribute('aria-busy'),
      document.querySelector('#mainfrm-title') && getComputedStyle(document.querySelector('#mainfrm-title'), '::after').animationName]);
    assert.deepEqual(await busy(), ['true', 'busy'], `${name}: busy while loading`);
    // The program's download has been asked for and is held, so it cannot have run; and the
    // page has gone round its event loop and a frame since the act.
    await tab.holding;
    await settle(tab);
    assert.equal(await tab.evaluate(() => document.documentElement.matches('.ready')), false, `${name}: not yet ready`);
    assert.equal((await values(tab)).Text1, '', `${name}: nothing is computed before the program is there`);
    release();
    await tab.waitForFunction(() => document.documentElement.matches('.ready') ||
      !document.getElementById('ended').hidden);
    await settle(tab);
    assert.equal((await busy())[0], null, `${name}: no longer busy`);
    if (then.values) assert.deepEqual({ ...await values(tab), ...then.values }, await values(tab), name);
    assert.deepEqual(await shownIn(tab), then.shown, name);
    assert.equal(await tab.$$eval('#mainfrm, #mainfrm-Combo1, #mainfrm-Combo1-list li', (all) => all.length), then.ended ? 0 : 10,
      `${name}: the program took the page's elements over, and made none again`);
    if (then.ended) assert.equal(await tab.$eval('#ended', (e) => e.hidden), false);
    assert.equal(await tab.$$eval('dialog[open]', (all) => all.length), then.warnings ?? 0, name);
    await tab.close();
  }
});

test('a program that cannot load says so, in one line with a link; another type still runs', async () => {
  const wasm = readFileSync(join(site, 'Quinbray.wasm'));
  const rows = [
    { name: 'not found', respond: { 'Quinbray.wasm': (r) => r.respond({ status: 404, body: 'Not found' }) },
      line: /could not start: its program could not be downloaded \(404\)/ },
    { name: 'sent as application/octet-stream',
      respond: { 'Quinbray.wasm': (r) => r.respond({ status: 200, contentType: 'application/octet-stream', body: wasm }) } },
    { name: 'no WebAssembly', before: () => delete globalThis.WebAssembly, line: /could not start: this browser runs no WebAssembly/ },
    { name: 'not a program', respond: { 'Quinbray.wasm': (r) => r.respond({ status: 200, contentType: 'application/wasm', body: 'nonsense' }) },
      line: /could not start: it stopped with an error while starting/ },
    { name: "the page's module not found", respond: { 'page.js': (r) => r.respond({ status: 404, body: 'Not found' }) },
      line: /could not start: its page could not be downloaded/ },
    // Given up after 15 seconds without a byte; what was typed meanwhile stays.
    { name: 'a download that never answers', hold: ['Quinbray.wasm'], held: new Promise(() => {}), after: 15000,
      act: async (tab) => {
        await painted(tab);
        await tab.click('#mainfrm-Combo2', { clickCount: 3 });
        await tab.keyboard.type('8');
      },
      line: /could not start: its program could not be downloaded\./, typed: { Combo2: '8' } },
    { name: 'a download that stops halfway', trickle: { pieces: 4, gap: 100, sent: 2 }, after: 15000,
      line: /could not start: its program could not be downloaded\./ },
    { name: 'a slow download that keeps coming, longer than 15 seconds in all', trickle: { pieces: 4, gap: 6000 }, after: 18000 },
  ];
  for (const { name, line, act, after = 0, typed = {}, trickle: slowly, ...how } of rows) {
    const slow = slowly && await trickle(slowly);
    const tab = await open({ ...how, address: slow?.url });
    await act?.(tab);
    await tab.waitForFunction(() => document.documentElement.matches('.ready') ||
      !document.getElementById('failed').hidden, { timeout: after + 30000 });
    const took = await tab.evaluate(() => performance.now());
    assert.ok(took >= after, `${name}: after ${took} ms`);
    if (after) assert.equal(await tab.$eval('main', (e) => e.getAttribute('aria-busy')), null, `${name}: no longer busy`);
    assert.deepEqual({ ...await values(tab), ...typed }, await values(tab), `${name}: what was typed stays`);
    const said = await tab.$eval('#failed', (e) => ({ shown: !e.hidden, text: e.textContent,
      link: e.querySelector('a').getAttribute('href'), role: e.getAttribute('role') }));
    const at = await middleOf(tab, '#mainfrm-cmd1');
    await tab.mouse.click(at.x, at.y);
    if (line) {
      assert.ok(said.shown && line.test(said.text), `${name}: ${said.text}`);
      assert.deepEqual([said.link, said.role], ['./', 'alert'], `${name}: read out at once, with a link`);
      assert.equal(await tab.$eval('#mainfrm', (e) => e.inert), true, `${name}: the window shows, and does nothing`);
      assert.equal((await values(tab)).Text1, '', name);
    } else {
      assert.equal(said.shown, false, name);
      await tab.waitForFunction(() => document.querySelector('#mainfrm-Text1').value === '1.00');
    }
    await tab.close();
    slow?.closeAllConnections();
    slow?.close();
  }

  // Without JavaScript: the window with its start-up values, the line that says what the
  // page needs, and no button that looks as if it could calculate.
  const tab = await open({ javaScript: false });
  assert.equal((await values(tab)).Combo4, startUp.Combo4);
  assert.match(await tab.$eval('noscript', (e) => e.textContent), /needs JavaScript and WebAssembly/);
  assert.deepEqual(await tab.$$eval('#mainfrm button', (all) => [...new Set(all.map((e) => getComputedStyle(e).pointerEvents))]), ['none']);
  await tab.close();
});

// `fills`: the window is drawn to the screen's width; else 1.5 times, as at 144 DPI.
// `targets`: the least width and height of anything a finger presses.
// Try again after a download that failed, before the program ever started: in place, with
// what was typed, then the program as usual; once it had started, the page loads again.
test('Try again after a failed download tries in place and keeps what was typed', async () => {
  let asked = 0;
  const tab = await open({ respond: { 'Quinbray.wasm': (r) => (asked++ ? r.continue() : r.respond({ status: 503, body: '' })) } });
  await tab.waitForSelector('#failed:not([hidden])');
  await tab.click('#mainfrm-Combo2', { clickCount: 3 }); // inert: nothing is typed
  await tab.keyboard.type('7');
  assert.equal((await values(tab)).Combo2, '4');
  await tab.click('#failed a');
  await ready(tab);
  assert.deepEqual([await tab.$eval('#failed', (e) => e.hidden), asked, tab.url()], [true, 2, url]);
  await tab.click('#mainfrm-Combo2', { clickCount: 3 });
  await tab.keyboard.type('8');
  await tab.click('#mainfrm-cmd1');
  assert.deepEqual(await values(tab), { ...startUp, Combo2: '8', Text1: '0.50' });
  await tab.close();

  // What was typed while the first try was failing stays too.
  let answer;
  const later = new Promise((done) => (answer = done));
  const slow = await open({ hold: ['Quinbray.wasm'], held: later,
    respond: { 'Quinbray.wasm': (r) => (asked++ > 2 ? r.continue() : r.respond({ status: 404, body: '' })) } });
  await painted(slow);
  await slow.click('#mainfrm-Combo4', { clickCount: 3 });
  await slow.keyboard.type('1000');
  answer();
  await slow.waitForSelector('#failed:not([hidden])');
  await slow.click('#failed a');
  await ready(slow);
  assert.equal((await values(slow)).Combo4, '1000');
  await slow.close();
});

// A program that failed once it had started is not started again in place: the page loads.
test('Try again after the program failed loads the page again', async () => {
  const failing = await open({ before: () => {
    const wrap = (result) => {
      if (sessionStorage.getItem('failed')) return result;
      sessionStorage.setItem('failed', 'once');
      const fault = () => { throw new Error('a fault in the program'); };
      return { ...result, instance: { exports: { ...result.instance.exports, ui_click: fault } } };
    };
    const { instantiate, instantiateStreaming } = WebAssembly;
    WebAssembly.instantiateStreaming = async (...args) => wrap(await instantiateStreaming(...args));
    WebAssembly.instantiate = async (...args) => wrap(await instantiate(...args));
  } });
  await ready(failing);
  await failing.click('#mainfrm-cmd1');
  await failing.waitForSelector('#failed:not([hidden])');
  assert.match(await failing.$eval('#failed .why', (e) => e.textContent), /stopped with an error/);
  await Promise.all([failing.waitForNavigation(), failing.click('#failed a')]);
  await ready(failing);
  await failing.click('#mainfrm-cmd1');
  await failing.waitForFunction(() => document.querySelector('#mainfrm-Text1').value === '1.00');
  await failing.close();
});

test('a phone or a tablet, either way up, draws the window larger, and taps reach every part', async () => {
  const phones = [
    { width: 412, height: 823, deviceScaleFactor: 1.75, smallestText: 12, targets: 24, fills: true }, // Lighthouse's phone
    { width: 360, height: 640, deviceScaleFactor: 3, fills: true },
    { width: 320, height: 568, deviceScaleFactor: 2, fills: true },
    { width: 915, height: 412, deviceScaleFactor: 2.625, smallestText: 12, targets: 24 }, // a phone held sideways
    { width: 820, height: 1180, deviceScaleFactor: 2, smallestText: 12, targets: 24 }, // a tablet
  ];
  for (const { smallestText, targets, fills, ...screen } of phones) {
    const tab = await open({ viewport: { ...screen, isMobile: true, hasTouch: true }, before: spyOnProgram });
    await ready(tab);
    const seen = await tab.evaluate((designedWidth) => {
      const texts = [];
      const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
      while (walker.nextNode())
        if (walker.currentNode.parentElement.checkVisibility() && walker.currentNode.textContent.trim())
          texts.push(parseFloat(getComputedStyle(walker.currentNode.parentElement).fontSize));
      for (const input of document.querySelectorAll('input')) texts.push(parseFloat(getComputedStyle(input).fontSize));
      const controls = [...document.querySelectorAll('#mainfrm .control')].map((e) => e.getBoundingClientRect());
      const pressed = [...document.querySelectorAll('#mainfrm button')].map((e) => e.getBoundingClientRect());
      return { smallest: Math.min(...texts), scrolls: document.documentElement.scrollWidth > innerWidth,
        reached: controls.every((box) => box.left >= 0 && box.right <= innerWidth),
        filled: Math.max(...controls.map((box) => box.right)) / innerWidth,
        scale: document.querySelector('#mainfrm .client').getBoundingClientRect().width / designedWidth,
        target: Math.min(...pressed.flatMap((box) => [box.width, box.height])),
        typed: Math.min(...[...document.querySelectorAll('input:not([readonly])')].map((e) => parseFloat(getComputedStyle(e).fontSize))) };
    }, design.client[0]);
    const name = `${screen.width} by ${screen.height} px`;
    assert.equal(seen.scrolls, false, `${name}: no sideways scrolling`);
    assert.ok(seen.reached, `${name}: every control within reach`);
    if (fills) assert.ok(seen.filled > 0.9, `${name}: the window fills the width (${seen.filled})`);
    else assert.equal(seen.scale, 1.5, `${name}: drawn 1.5 times`);
    if (smallestText) assert.ok(seen.smallest >= smallestText, `${name}: text of ${seen.smallest} px`);
    if (targets) assert.ok(seen.target >= targets, `${name}: a target of ${seen.target} px`);
    assert.ok(seen.typed >= 16, `${name}: typed text of ${seen.typed} px, which iOS does not zoom in on`);

    // A tap on Calculate, its place reported in the window's own pixels: the middle of an
    // 81 by 25 button, however large it is drawn.
    const at = await middleOf(tab, '#mainfrm-cmd1');
    await tab.touchscreen.tap(at.x, at.y);
    await tab.waitForFunction(() => document.querySelector('#mainfrm-Text1').value === '1.00');
    const [, , , , x, y] = (await tab.evaluate(() => window.calls)).find(([call]) => call === 'ui_mouse_up');
    assert.ok(Math.abs(x - 40) <= 1 && Math.abs(y - 12) <= 1, `${name}: tapped at ${x}, ${y}`);

    // Items of a dropped list big enough for a finger.
    await tab.touchscreen.tap(...Object.values(await middleOf(tab, '#mainfrm-Combo4 + .drop')).slice(0, 2));
    await tab.waitForSelector('#mainfrm-Combo4-list:not([hidden])');
    const heights = await tab.$$eval('#mainfrm-Combo4-list li', (all) => all.map((e) => e.getBoundingClientRect().height));
    assert.ok(Math.min(...heights) >= 24, `${name}: list items ${Math.min(...heights)} px tall`);

    // The arrow's tap gave the text box the keys but raises no keyboard over the list; a tap
    // on the text box does, and the keyboard's Enter ("done") ends the typing.
    const keyboard = () => tab.evaluate(() => [document.activeElement.id, document.activeElement.getAttribute('inputmode')]);
    assert.deepEqual(await keyboard(), ['mainfrm-Combo4', 'none'], name);
    await tab.touchscreen.tap(...Object.values(await middleOf(tab, '#mainfrm-Combo4')).slice(0, 2));
    assert.deepEqual(await keyboard(), ['mainfrm-Combo4', 'decimal'], name);
    await tab.keyboard.press('Enter'); // closes the list
    await tab.keyboard.press('Enter');
    assert.equal(await tab.evaluate(() => document.activeElement === document.body), true, `${name}: Enter is done`);
    await tab.close();
  }
});

// The browser's font settings, as its settings page writes them: the window scales with the
// default size, and a minimum size makes it larger rather than cut or overlap its texts.
test('large text settings scale the whole window, and cut no text', async () => {
  const rows = [
    { name: 'a default font size of 24', fonts: { default_font_size: 24 }, scale: 1.5 },
    { name: 'a minimum font size of 20', fonts: { minimum_font_size: 20 }, scale: 2 },
    { name: 'both', fonts: { default_font_size: 24, minimum_font_size: 20 }, scale: 2 },
  ];
  for (const { name, fonts, scale } of rows) {
    const large = await launch({ preferences: { webkit: { webprefs: fonts } } });
    try {
      const tab = await large.newPage();
      await tab.setViewport({ width: 1280, height: 800 });
      await tab.goto(url);
      await tab.waitForSelector('html.ready');
      const fits = () => tab.evaluate((designedWidth) => {
        const shown = document.querySelector('section.window:not([hidden])');
        const boxes = [...shown.querySelectorAll('.label, button.control, h1')];
        return { scale: shown.querySelector('.client').getBoundingClientRect().width / designedWidth,
          cut: boxes.filter((e) => e.scrollWidth > e.clientWidth || e.scrollHeight > e.clientHeight).map((e) => e.textContent),
          smallest: Math.min(...boxes.map((e) => parseFloat(getComputedStyle(e).fontSize))) };
      }, design.client[0]);
      const main = await fits();
      assert.ok(Math.abs(main.scale - scale) < 0.01, `${name}: drawn ${main.scale} times`);
      assert.deepEqual(main.cut, [], `${name}: nothing cut on the main window`);
      if (fonts.minimum_font_size) assert.ok(main.smallest >= fonts.minimum_font_size, `${name}: ${main.smallest} px`);
      await tab.click('#mainfrm-cmd2');
      assert.deepEqual((await fits()).cut, [], `${name}: nothing cut on the help window`);
      await tab.click('#helpfrm-cmd1');
      await tab.click('#mainfrm-cmd1');
      assert.equal(await tab.$eval('#mainfrm-Text1', (e) => e.value), '1.00', name);
    } finally {
      await large.close();
    }
  }
});

test('the fields ask for a number keyboard, with no completion, correction, capitals or spelling marks', async () => {
  const tab = await open();
  await ready(tab);
  const fields = await tab.$$eval('#mainfrm input:not([readonly])', (all) => all.map((e) => [e.id.slice(8),
    ...['inputmode', 'autocapitalize', 'autocorrect', 'autocomplete', 'spellcheck', 'enterkeyhint'].map((name) => e.getAttribute(name))]));
  const asked = ['decimal', 'off', 'off', 'off', 'false', 'done'];
  assert.deepEqual(fields, ['Combo1', 'Text3', 'Combo5', 'Combo2', 'Combo4'].map((name) => [name, ...asked]));
  // Pinch zoom stays: the page zooms in on no field by its text size instead.
  assert.equal(await tab.$eval('meta[name=viewport]', (e) => e.content), 'width=device-width, initial-scale=1');
  await tab.close();
});

test("buttons, lists and keys as dependable as the desktop's, for every user", async () => {
  const ended = (tab) => tab.$eval('#ended', (e) => !e.hidden);
  const drag = async (tab, selector) => {
    const at = await middleOf(tab, selector);
    await tab.mouse.move(at.x, at.y);
    await tab.mouse.down();
    await tab.mouse.move(at.x + 300, at.y + 40, { steps: 3 });
    await tab.mouse.up();
  };
  const contrast = (...colours) => {
    const luminance = (rgb) => {
      const [r, g, b] = rgb.match(/\d+/g).slice(0, 3).map((c) => c / 255)
        .map((c) => (c <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4));
      return 0.2126 * r + 0.7152 * g + 0.0722 * b;
    };
    const [a, b] = colours.map(luminance).sort((x, y) => y - x);
    return (a + 0.05) / (b + 0.05);
  };
  const highlight = async (tab) => {
    await tab.focus('#mainfrm-Combo1');
    await tab.keyboard.press('ArrowDown'); // opens at "5"
    await tab.keyboard.press('ArrowDown'); // moves to "4"
    return tab.$eval('#mainfrm-Combo1-list li.active', (e) => {
      const arrow = getComputedStyle(e.closest('.combo').querySelector('.drop'), '::after');
      return { text: e.textContent, colours: [getComputedStyle(e).color, getComputedStyle(e).backgroundColor],
        arrow: [arrow.borderTopColor, arrow.borderLeftColor] };
    });
  };
  const rows = [
    ['a press on Help, Close or Exit dragged off is taken back', async (tab) => {
      await drag(tab, '#mainfrm-cmd2');
      await drag(tab, '#mainfrm-cmd3');
      assert.deepEqual([await shownIn(tab), await ended(tab)], [['mainfrm'], false]);
      await tab.click('#mainfrm-cmd2');
      await drag(tab, '#helpfrm-cmd1');
      assert.deepEqual(await shownIn(tab), ['helpfrm']);
    }],
    ["a double-click on Close's end, over Exit, only closes", async (tab) => {
      const exit = (await middleOf(tab, '#mainfrm-cmd3')).box;
      await tab.click('#mainfrm-cmd2');
      const close = (await middleOf(tab, '#helpfrm-cmd1')).box;
      assert.ok(exit.x < close.x + close.width - 3, 'the two overlap');
      await tab.mouse.click(close.x + close.width - 3, close.y + close.height / 2, { count: 2 });
      assert.deepEqual([await shownIn(tab), await ended(tab)], [['mainfrm'], false]);
    }],
    ['text typed into an open list stays; Enter takes an item only once moved to', async (tab) => {
      await tab.click('#mainfrm-Combo2', { clickCount: 3 });
      await tab.keyboard.press('ArrowDown');
      await tab.keyboard.type('7');
      await tab.keyboard.press('Enter');
      assert.equal((await values(tab)).Combo2, '7');
      await tab.keyboard.press('F4'); // opened on no item, since 7 is none
      await tab.keyboard.press('Enter');
      assert.equal((await values(tab)).Combo2, '7');
      await tab.keyboard.press('ArrowDown');
      await tab.keyboard.press('ArrowDown'); // moved to the first item
      await tab.keyboard.press('Enter');
      assert.equal((await values(tab)).Combo2, '1');
    }],
    ['access keys follow the letter the layout types, else the key', async (tab) => {
      await altKey(tab, 'q', 'KeyX'); // Dvorak's q, where QWERTY has x
      assert.equal(await ended(tab), false);
      await altKey(tab, 'h', 'KeyJ'); // Dvorak's h
      assert.deepEqual(await shownIn(tab), ['helpfrm']);
      await altKey(tab, 'с', 'KeyC'); // a Cyrillic layout types no Latin letter
      assert.deepEqual(await shownIn(tab), ['mainfrm']);
    }],
    ["an input method's keys are its own", async (tab) => {
      await tab.focus('#mainfrm-Combo4');
      await tab.keyboard.press('End');
      await tab.cdp.send('Input.imeSetComposition', { text: 'きろ', selectionStart: 2, selectionEnd: 2 });
      for (const [key, code] of [['ArrowDown', 40], ['Enter', 229]])
        await tab.cdp.send('Input.dispatchKeyEvent', { type: 'rawKeyDown', key, windowsVirtualKeyCode: code });
      await tab.cdp.send('Input.insertText', { text: 'キロ' });
      assert.equal((await values(tab)).Combo4, '2500キロ');
      assert.equal(await tab.$eval('#mainfrm-Combo4', (e) => e.getAttribute('aria-expanded')), 'false');
    }],
    ['the highlighted item reads clearly, also in forced colours', async (tab) => {
      const normal = await highlight(tab);
      assert.ok(contrast(...normal.colours) >= 4.5, `${normal.colours}`);
      await tab.keyboard.press('Escape');
      await tab.cdp.send('Emulation.setEmulatedMedia', { features: [{ name: 'forced-colors', value: 'active' }] });
      const forced = await highlight(tab);
      assert.ok(contrast(...forced.colours) >= 4.5, `${forced.colours}`);
      assert.notDeepEqual(forced.colours, normal.colours, 'the system highlight');
      assert.equal(forced.arrow[1], 'rgba(0, 0, 0, 0)', 'an arrow, not a bar');
      assert.notEqual(forced.arrow[0], forced.arrow[1]);
    }],
    ['a two-button chord on Calculate gives one warning', async (tab) => {
      await tab.click('#mainfrm-Combo2', { clickCount: 3 });
      await tab.keyboard.type('0');
      const at = await middleOf(tab, '#mainfrm-cmd1');
      await tab.mouse.move(at.x, at.y);
      await tab.mouse.down({ button: 'left' });
      await tab.mouse.down({ button: 'right' });
      await tab.mouse.up({ button: 'left' });
      await tab.mouse.up({ button: 'right' });
      assert.equal(await tab.$$eval('dialog[open]', (all) => all.length), 1);
      await tab.click('dialog[open] p'); // OK stays the default button
      await tab.keyboard.press('Enter');
      await tab.waitForFunction(() => !document.querySelector('dialog'), { timeout: 5000 }); // gone on its close event
    }],
    ['screen readers hear the highlighted item, the list by its name, and the end', async (tab) => {
      const { text } = await highlight(tab);
      const list = await tab.accessibility.snapshot({ root: await tab.$('#mainfrm-Combo1-list'), interestingOnly: false });
      assert.equal(list.name, 'Excitation Voltage');
      assert.deepEqual(list.children.filter((o) => o.selected).map((o) => o.name), [text]);
      assert.deepEqual(await tab.$$eval('#mainfrm button.control', (all) => all.map((e) => e.getAttribute('aria-keyshortcuts'))),
        [null, 'Alt+H', 'Alt+X']);
      await tab.keyboard.press('Escape');
      await tab.click('#mainfrm-cmd3');
      assert.equal(await tab.evaluate(() => document.activeElement.textContent), 'Start it again');
      const link = await tab.accessibility.snapshot({ root: await tab.$('#ended a') });
      assert.deepEqual([link.role, link.name, link.description], ['link', 'Start it again', 'The calculator has ended.']);
      assert.equal(await tab.title(), `The calculator has ended – ${design.title}`);
    }],
  ];
  await eachInATab(rows);
});

// What a screen reader reads, in Chromium's accessibility tree: the order, the names, the
// states, and what the page says of its own accord.
test('screen readers read the screen in its order, each list button by its list, each result once', async () => {
  const tree = async (tab, root) => {
    const nodes = [];
    const walk = (node) => { nodes.push(node); node.children?.forEach(walk); };
    walk(await tab.accessibility.snapshot({ root: root && await tab.$(root), interestingOnly: false }));
    return nodes;
  };
  const said = (tab) => tab.evaluate(() => window.said);
  const listen = (tab) => tab.evaluate(() => {
    window.said = [];
    new MutationObserver(() => {
      const text = document.getElementById('said').textContent;
      if (text) window.said.push(text);
    }).observe(document.getElementById('said'), { childList: true, characterData: true, subtree: true });
  });
  const calculate = async (tab) => {
    const { x, y } = await middleOf(tab, '#mainfrm-cmd1');
    await tab.mouse.click(x, y);
  };
  const result = 'Quinbray per Increment';
  const rows = [
    ['the main window reads as it is shown, the result after the inputs', async (tab) => {
      const read = (await tree(tab, '#mainfrm')).filter((n) => ['combobox', 'textbox', 'button'].includes(n.role))
        .map((n) => `${n.role} ${n.name}`);
      assert.deepEqual(read, ['combobox Excitation Voltage', 'button Excitation Voltage', 'textbox Division Size in Lb or KG',
        'combobox Cell Rating in mV / Volt', 'button Cell Rating in mV / Volt', 'combobox Number of Load Cells',
        'button Number of Load Cells', 'combobox Load Cell Capacity', 'button Load Cell Capacity', `textbox ${result}`,
        'button Calculate', 'button Help', 'button Exit']);
    }],
    ['the help window reads top to bottom', async (tab) => {
      await tab.click('#mainfrm-cmd2');
      const read = (await tree(tab, '#helpfrm')).filter((n) => (n.role === 'StaticText' && n.name.includes(' ')) || n.role === 'button')
        .map((n) => n.name.split(' ')[0]);
      assert.deepEqual(read, ['Select', 'NOTE:', 'Pressing', 'Holding', 'Quinbray', 'Close']);
    }],
    ["a list's button says whether its list is shown", async (tab) => {
      const button = async () => (await tree(tab, '#mainfrm-Combo5-box')).find((n) => n.role === 'button');
      assert.deepEqual([(await button()).name, (await button()).expanded], ['Cell Rating in mV / Volt', false]);
      await tab.click('#mainfrm-Combo5 + .drop');
      assert.deepEqual([(await button()).expanded], [true]);
      assert.equal(await tab.$eval('#mainfrm-Combo5 + .drop', (e) => e.getAttribute('aria-expanded')), 'true');
    }],
    ['each Calculate says its result once, also the same again, and the focus stays', async (tab) => {
      await listen(tab);
      await calculate(tab);
      await tab.waitForFunction(() => window.said.length === 1);
      await calculate(tab);
      await tab.waitForFunction(() => window.said.length === 2);
      // The same words, but not the same text, which a screen reader would pass over.
      const [first, second] = await said(tab);
      assert.deepEqual([first, second].map((words) => words.replace(/\u200b/g, '')), [`${result}: 1.00`, `${result}: 1.00`]);
      assert.notEqual(first, second);
      assert.equal(await tab.evaluate(() => document.activeElement.id), 'mainfrm-cmd1');
      const region = (await tree(tab)).find((n) => n.role === 'status' && n.name === '');
      assert.ok(region, 'a polite live region (role status)');
    }],
    // The result is cleared before the warning, which is said itself: the emptied result is
    // not said as well, as on the desktops.
    ['a warning is an alert dialog described by its text, and the cleared result is not said', async (tab) => {
      await calculate(tab);
      await tab.waitForFunction(() => document.getElementById('said').textContent !== '');
      await listen(tab);
      await tab.click('#mainfrm-Combo2', { clickCount: 3 });
      await tab.keyboard.type('0');
      await calculate(tab);
      await tab.waitForSelector('dialog[open]');
      assert.equal(await tab.$eval('#mainfrm-Text1', (e) => e.value), '');
      assert.deepEqual(await said(tab), []);
      const dialog = (await tree(tab)).find((n) => n.role === 'alertdialog');
      assert.deepEqual([dialog?.name, dialog?.description], [design.title,
        'The number of load cells and the load cell capacity must not be zero.']);
    }],
  ];
  await eachInATab(rows);
});

test("Lighthouse, as its phone: accessibility, best practices and SEO each 100", async () => {
  const { scores, failed } = await audit(url, ['accessibility', 'best-practices', 'seo']);
  assert.deepEqual(scores, { accessibility: 100, 'best-practices': 100, seo: 100 }, failed.join('; '));
});
