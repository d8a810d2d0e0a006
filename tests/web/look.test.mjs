// How the page looks to users who change its text or take it elsewhere: their own text
// spacing, Firefox's and WebKit's zoom of text alone, paper, the installed app's window,
// and the focus of the page's links. Chromium over its own protocol, Firefox ESR headed on a
// virtual X server of its own, driven by puppeteer-core over WebDriver BiDi, and WebKitGTK's
// MiniBrowser through its WebDriver; each browser's zoom is asked for with its own keys,
// typed on that X server.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFile, spawn } from 'node:child_process';
import { mkdirSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { promisify } from 'node:util';
import { inflateSync } from 'node:zlib';
import puppeteer from 'puppeteer-core';
import WebDriver from 'webdriver';
import { chromium, chromiumFlags, freePort, launch, serve, xServer } from './browser.mjs';
import * as designed from './designed.mjs';

const site = process.env.QUINBRAY_SITE;
const firefox = process.env.FIREFOX ?? '/usr/bin/firefox-esr';
const webDriver = process.env.WEBKIT_WEBDRIVER ?? '/usr/bin/WebKitWebDriver';
const miniBrowser = process.env.WEBKIT_MINIBROWSER ?? '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
let server, url, browser;
const stops = [];

before(async () => {
  server = await serve(site);
  url = `http://127.0.0.1:${server.address().port}/`;
  browser = await launch();
});

after(async () => {
  for (const stop of stops.reverse()) await stop();
  await browser?.close();
  server?.close();
});

// Polls until `check` gives something true: evidence, or a failure after ten seconds.
async function waitFor(check, what) {
  const end = Date.now() + 10000;
  for (;;) {
    const got = await check();
    if (got) return got;
    if (Date.now() > end) throw new Error(`waited in vain for ${what}`);
    await new Promise((done) => setTimeout(done, 50));
  }
}

// A Chromium tab in a context of its own (no cache, no service worker) on the site;
// `respond` maps files to what answers them in place of the server.
async function tab({ viewport = { width: 800, height: 600 }, respond } = {}) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport(viewport);
  page.cdp = await page.createCDPSession();
  if (respond) {
    await page.setRequestInterception(true);
    page.on('request', (r) => (respond[new URL(r.url()).pathname.slice(1)] ?? ((q) => q.continue()))(r));
  }
  await page.goto(url);
  page.close = () => context.close();
  return page;
}
const ready = (page) => page.waitForSelector('html.ready');
async function altKey(page, key) {
  await page.keyboard.down('Alt');
  await page.keyboard.press(key);
  await page.keyboard.up('Alt');
}

// Contrast as WCAG reckons it, of two colours as CSS gives them ("rgb(…)" or "rgba(…)").
const rgb = (css) => css.match(/[\d.]+/g).map(Number);
function contrast(a, b) {
  const luminance = (css) => {
    const [r, g, bl] = rgb(css).slice(0, 3).map((c) => c / 255)
      .map((c) => (c <= 0.04045 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4));
    return 0.2126 * r + 0.7152 * g + 0.0722 * bl;
  };
  const [light, dark] = [luminance(a), luminance(b)].sort((x, y) => y - x);
  return (light + 0.05) / (dark + 0.05);
}

// In the page: what the shown window cuts or lets overlap. A caption, a button's or the
// title's text is cut where it needs more room than its box; a caption lies over a control
// where their boxes share more than the one pixel the design lets them; and no control may
// stand outside the client area.
function faults() {
  const panel = document.querySelector('section.window:not([hidden])');
  const px = parseFloat(getComputedStyle(panel).getPropertyValue('--px'));
  const client = panel.querySelector('.client').getBoundingClientRect();
  const controls = [...panel.querySelectorAll('.client > .control')].map((e) => [e, e.getBoundingClientRect()]);
  const name = (e) => e.textContent || e.id;
  const cut = [...panel.querySelectorAll('.label, button.control, h1')]
    .filter((e) => e.scrollWidth > e.clientWidth || e.scrollHeight > e.clientHeight).map(name);
  const over = [];
  for (const [a, ra] of controls)
    for (const [b, rb] of controls) {
      const shared = Math.min(ra.right - rb.left, rb.right - ra.left, ra.bottom - rb.top, rb.bottom - ra.top);
      if (a.matches('.label') && a !== b && shared > px + 0.01) over.push(`${name(a)} over ${name(b)}`);
    }
  const outside = controls.filter(([, r]) => r.left < client.left - 0.01 || r.right > client.right + 0.01
    || r.top < client.top - 0.01 || r.bottom > client.bottom + 0.01).map(([e]) => name(e));
  return { cut, over, outside };
}

// In the page: each control's place and size in the client area, and the client area's size.
const layout = () => [...document.querySelectorAll('section.window:not([hidden]) .client > .control')].map((e) => {
  const r = e.getBoundingClientRect();
  const o = e.parentElement.getBoundingClientRect();
  return [e.id.replace(/-box$/, ''), r.left - o.left, r.top - o.top, r.width, r.height];
}).concat([['client', ...(({ width, height }) => [width, height])(document.querySelector(
  'section.window:not([hidden]) .client').getBoundingClientRect())]]);
const designedLayout = (window) => designed.controls.filter((c) => c.window === window)
  .map(({ name, x, y, width, height }) => [`${window}-${name}`, x, y, width, height])
  .concat([['client', designed.windows[window].width, designed.windows[window].height]]);
const sorted = (rows) => [...rows].sort((a, b) => String(a[0]).localeCompare(b[0]));

// The spacing WCAG's text spacing criterion asks to bear, as a bookmarklet or an extension
// sets it: a style of the user's, which the page's policy does not bind.
const spacing = `* { line-height: 1.5 !important; letter-spacing: .12em !important; word-spacing: .16em !important }
p { margin-bottom: 2em !important }`;
async function userStyle(page, text) {
  await page.cdp.send('DOM.enable');
  await page.cdp.send('CSS.enable');
  const { frameTree } = await page.cdp.send('Page.getFrameTree');
  const { styleSheetId } = await page.cdp.send('CSS.createStyleSheet', { frameId: frameTree.frame.id });
  await page.cdp.send('CSS.setStyleSheetText', { styleSheetId, text });
}

test("a user's text spacing cuts no caption and lays none over a control; without it, the window is as designed", async () => {
  for (const { name, style } of [{ name: 'the designed spacing' }, { name: 'WCAG text spacing', style: spacing },
    { name: 'twice that spacing', style: spacing.replace('1.5', '3').replace('.12em', '.24em') }]) {
    const page = await tab();
    try {
      await ready(page);
      if (style) await userStyle(page, style);
      for (const [window, open] of [['mainfrm'], ['helpfrm', () => page.click('#mainfrm-cmd2')]]) {
        await open?.();
        await page.waitForSelector(`#${window}:not([hidden])`);
        // The captions' growth is laid out by the frame after the style comes.
        await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
        assert.deepEqual(await page.evaluate(faults), { cut: [], over: [], outside: [] }, `${name}, ${window}`);
        if (!style) assert.deepEqual(sorted(await page.evaluate(layout)), sorted(designedLayout(window)), window);
      }
      // What the window shows still works as it did.
      await page.click('#helpfrm-cmd1');
      await page.click('#mainfrm-cmd1');
      await waitFor(() => page.$eval('#mainfrm-Text1', (e) => e.value === '1.00'), `${name}: the result`);
    } finally {
      await page.close();
    }
  }
});

test("Firefox: WCAG text spacing from the user's own stylesheet cuts no caption and lays none over a control", async () => {
  const profile = mkdtempSync(join(tmpdir(), 'quinbray-firefox-'));
  mkdirSync(join(profile, 'chrome'));
  writeFileSync(join(profile, 'chrome', 'userContent.css'), spacing);
  const ff = await puppeteer.launch({ browser: 'firefox', executablePath: firefox, headless: true, userDataDir: profile,
    extraPrefsFirefox: { 'toolkit.legacyUserProfileCustomizations.stylesheets': true } });
  try {
    const page = await ff.newPage();
    await page.setViewport({ width: 800, height: 600 });
    await page.goto(url);
    await ready(page);
    assert.equal(await page.$eval('#mainfrm-lbl1', (e) => getComputedStyle(e).letterSpacing), '1.2px', 'the spacing applies');
    for (const [window, open] of [['mainfrm'], ['helpfrm', () => page.click('#mainfrm-cmd2')]]) {
      await open?.();
      await page.waitForSelector(`#${window}:not([hidden])`);
      await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
      assert.deepEqual(await page.evaluate(faults), { cut: [], over: [], outside: [] }, window);
    }
  } finally {
    await ff.close();
    rmSync(profile, { recursive: true, force: true, maxRetries: 5 });
  }
});

const xdotool = (display, ...args) => promisify(execFile)('xdotool', args, { env: { ...process.env, DISPLAY: display } });
// Each engine's browser set to zoom text alone, headed on the given X server: `window` is its
// X window, which the browser's own zoom key is typed into.
async function firefoxTextZoom(display) {
  const profile = mkdtempSync(join(tmpdir(), 'quinbray-firefox-'));
  const ff = await puppeteer.launch({ browser: 'firefox', executablePath: firefox, headless: false, userDataDir: profile,
    env: { ...process.env, DISPLAY: display }, extraPrefsFirefox: { 'browser.zoom.full': false } });
  stops.push(async () => {
    await ff.close();
    rmSync(profile, { recursive: true, force: true, maxRetries: 5 });
  });
  const page = await ff.newPage();
  await page.setViewport({ width: 1200, height: 900 });
  const { stdout } = await xdotool(display, 'search', '--sync', '--onlyvisible', '--class', 'firefox');
  return { open: (address) => page.goto(address), run: (script) => page.evaluate(script), window: stdout.split('\n')[0],
    click: (selector) => page.click(selector) };
}

async function webkitTextZoom(display) {
  const port = await freePort();
  const driver = spawn(webDriver, [`--port=${port}`], { env: { ...process.env, DISPLAY: display }, stdio: 'ignore' });
  stops.push(() => driver.kill());
  const client = await waitFor(() => WebDriver.newSession({
    hostname: '127.0.0.1', port, path: '/', logLevel: 'warn', connectionRetryCount: 0,
    capabilities: { browserName: 'MiniBrowser', 'wdio:enforceWebDriverClassic': true,
      'webkitgtk:browserOptions': { binary: miniBrowser, args: ['--automation', '--zoom-text-only=true'] } },
  }).catch(() => null), 'the WebKit driver');
  stops.push(() => client.deleteSession());
  await client.setWindowRect(null, null, 1200, 900);
  const { stdout } = await xdotool(display, 'search', '--sync', '--onlyvisible', '--class', 'MiniBrowser');
  return { open: (address) => client.navigateTo(address), run: (script) => client.executeScript(`return (${script})()`, []),
    window: stdout.split('\n')[0],
    click: async (selector) => client.elementClick(Object.values(await client.findElement('css selector', selector))[0]) };
}

// In the page: the zoom of text (the root's font size against the usual 16 px), and how much
// the calculator's client area and a caption's text have grown against their designed sizes.
function scales() {
  const root = parseFloat(getComputedStyle(document.documentElement).fontSize) / 16;
  const [client, caption] = ['#mainfrm .client', '#mainfrm-lbl1'].map((s) => document.querySelector(s));
  const designed = (e, name) => parseFloat(getComputedStyle(e).getPropertyValue(name));
  return { root, window: client.getBoundingClientRect().width / designed(client, '--width'),
    text: parseFloat(getComputedStyle(caption).fontSize) / designed(caption, '--size') };
}

for (const [engine, start] of [['Firefox', firefoxTextZoom], ['WebKit', webkitTextZoom]])
  test(`${engine}'s zoom of text alone, up to 200 %, grows the window with the text and cuts none`, async () => {
    const display = await xServer(stops, '1280x1024x24');
    const b = await start(display);
    await b.open(url);
    await waitFor(() => b.run(() => document.documentElement.matches('.ready')), 'the program');
    for (let zoom = 1; zoom < 2;) {
      await xdotool(display, 'windowfocus', '--sync', b.window, 'key', 'ctrl+plus');
      const now = await waitFor(async () => {
        const { root } = await b.run(scales);
        return root > zoom + 0.01 && root;
      }, `${engine}: a zoom beyond ${zoom}`);
      zoom = now;
      const { window, text } = await b.run(scales);
      const at = `${engine} at ${Math.round(zoom * 100)} %`;
      assert.ok(Math.abs(text / zoom - 1) < 0.03, `${at}: the text grew ${text.toFixed(2)} times`);
      assert.ok(Math.abs(window / zoom - 1) < 0.03, `${at}: the window grew ${window.toFixed(2)} times`);
      assert.deepEqual(await b.run(faults), { cut: [], over: [], outside: [] }, at);
    }
    await b.click('#mainfrm-cmd2');
    await waitFor(() => b.run(() => !document.querySelector('#helpfrm')?.hidden), `${engine}: the help window`);
    assert.deepEqual(await b.run(faults), { cut: [], over: [], outside: [] }, `${engine}: the help window`);
  });

// In the page, as it would print: each text that is on the sheet, its colour as it reaches
// the paper (through the opacity of what holds it), the colour under it where backgrounds are
// printed, and whether an image (a gradient) lies under it there.
function printedTexts() {
  const parts = document.querySelectorAll('section.window:not([hidden]), .line:not([hidden]), dialog[open]');
  const texts = [];
  for (const part of parts)
    for (const e of [part, ...part.querySelectorAll('*')]) {
      const text = e.matches('input') ? e.value
        : [...e.childNodes].filter((n) => n.nodeType === Node.TEXT_NODE).map((n) => n.data).join('').trim();
      if (!text || !e.getClientRects().length) continue;
      let under = null, image = false, opacity = 1;
      for (let a = e; a; a = a.parentElement) {
        const style = getComputedStyle(a);
        opacity *= Number(style.opacity);
        if (under) continue;
        image ||= style.backgroundImage !== 'none';
        const [, , , alpha = 1] = style.backgroundColor.match(/[\d.]+/g).map(Number);
        if (alpha > 0) under = style.backgroundColor;
      }
      const colour = getComputedStyle(e).color.match(/[\d.]+/g).slice(0, 3).map(Number)
        .map((c) => Math.round(c * opacity + 255 * (1 - opacity)));
      texts.push({ text: text.slice(0, 40), colour: `rgb(${colour})`, under: under ?? 'rgb(255, 255, 255)', image });
    }
  return texts;
}

test('printed, with or without backgrounds, the window, its help and the lines read black on white', async () => {
  const [main, help] = [designed.windows.mainfrm.title, designed.windows.helpfrm.title];
  const caption = designed.control('mainfrm', 'lbl1').caption;
  const rows = [
    { name: 'the calculator with a result', act: (page) => page.click('#mainfrm-cmd1'),
      parts: [main, caption, '2500', '1.00', 'alculate'] },
    { name: 'the help window', act: (page) => page.click('#mainfrm-cmd2'), parts: [help, 'lose'] },
    { name: 'the line once ended', act: (page) => altKey(page, 'KeyX'), parts: ['The calculator has ended.', 'Start it again'] },
    { name: 'the line when the program cannot load', respond: { 'Quinbray.wasm': (r) => r.respond({ status: 404, body: '' }) },
      failed: true, parts: ['Try again', main, caption] },
  ];
  for (const { name, act, respond, failed, parts } of rows) {
    const page = await tab({ respond });
    try {
      await (failed ? page.waitForSelector('#failed:not([hidden])') : ready(page));
      await act?.(page);
      await waitFor(() => page.evaluate((all) => all.every((part) => document.body.innerText.includes(part) ||
        [...document.querySelectorAll('input')].some((e) => e.value === part)), parts), `${name}: ${parts}`);
      await page.emulateMediaType('print');
      const texts = await page.evaluate(printedTexts);
      const shown = texts.map(({ text }) => text);
      assert.ok(parts.every((part) => shown.includes(part)), `${name}: on the sheet: ${shown.join(' | ')}`);
      for (const { text, colour, under, image } of texts) {
        const plain = contrast(colour, 'rgb(255, 255, 255)');
        assert.ok(plain >= 7, `${name}, "${text}" without backgrounds: ${plain.toFixed(1)}:1`);
        const printed = contrast(colour, under);
        assert.ok(!image && printed >= 7, `${name}, "${text}" with backgrounds: ${printed.toFixed(1)}:1${image ? ' on an image' : ''}`);
      }
      const sheet = await page.evaluate(() => getComputedStyle(document.documentElement).backgroundColor);
      assert.equal(sheet, 'rgb(255, 255, 255)', `${name}: the sheet`);
    } finally {
      await page.close();
    }
  }
});

test('the focus of "Try again" and "Start it again" is a ring of 3:1 at least around their text', async () => {
  const rows = [
    { name: 'Start it again', act: (page) => ready(page).then(() => altKey(page, 'KeyX')), link: '#ended a' },
    { name: 'Try again', respond: { 'Quinbray.wasm': (r) => r.respond({ status: 404, body: '' }) },
      act: async (page) => {
        await page.waitForSelector('#failed:not([hidden])');
        await page.keyboard.press('Tab');
      }, link: '#failed a' },
  ];
  for (const { name, respond, act, link } of rows) {
    const page = await tab({ respond });
    try {
      await act(page);
      await page.waitForSelector(`${link}:focus-visible`);
      const ring = await page.$eval(link, (e) => {
        const style = getComputedStyle(e);
        const box = e.getBoundingClientRect();
        return { style: style.outlineStyle, colour: style.outlineColor, width: parseFloat(style.outlineWidth),
          offset: parseFloat(style.outlineOffset), under: getComputedStyle(document.documentElement).backgroundColor,
          x: box.left, y: box.top + box.height / 2 };
      });
      assert.equal(ring.style, 'solid', name);
      assert.ok(ring.width >= 2 && ring.offset >= 0, `${name}: ${ring.width} px, ${ring.offset} px off its text`);
      const ratio = contrast(ring.colour, ring.under);
      assert.ok(ratio >= 3, `${name}: ${ratio.toFixed(1)}:1`);
      // Drawn so: the pixel in the ring's middle, left of the text, is its colour.
      const shot = await page.screenshot({ encoding: 'binary',
        clip: { x: Math.floor(ring.x - ring.offset - ring.width / 2), y: Math.floor(ring.y), width: 1, height: 1 } });
      const pixel = await page.evaluate(async (png) => {
        const image = await createImageBitmap(new Blob([new Uint8Array(png)], { type: 'image/png' }));
        const context = new OffscreenCanvas(1, 1).getContext('2d');
        context.drawImage(image, 0, 0);
        return `rgb(${[...context.getImageData(0, 0, 1, 1).data.slice(0, 3)]})`;
      }, [...shot]);
      assert.ok(contrast(pixel, ring.colour) < 1.1, `${name}: the ring is drawn ${pixel}, not ${ring.colour}`);
    } finally {
      await page.close();
    }
  }
});

// In the page: the shown window's box, and the page's inner size.
const placed = () => {
  const { left, top, width, height } = document.querySelector('section.window:not([hidden])').getBoundingClientRect();
  return { left, top, width, height, inner: [innerWidth, innerHeight],
    client: document.querySelector('section.window:not([hidden]) .client').getBoundingClientRect().width };
};

test("the installed app's window opens at the calculator's size, or holds it in its middle", async () => {
  // An app's own window, as an installed app opens: it is sized to the calculator, which
  // keeps its desktop size and layout there.
  const profile = mkdtempSync(join(tmpdir(), 'quinbray-chromium-'));
  const app = await puppeteer.launch({ executablePath: chromium, headless: true, userDataDir: profile, defaultViewport: null,
    args: [...chromiumFlags, `--app=${url}`, '--window-size=1050,880'] });
  try {
    const page = await waitFor(async () => (await app.pages()).find((p) => p.url().startsWith(url)), 'the app window');
    await ready(page);
    assert.equal(await page.evaluate(() => matchMedia('(display-mode: standalone)').matches), true);
    const box = await waitFor(async () => {
      const now = await page.evaluate(placed);
      return now.inner[0] < 1050 && now;
    }, 'the window to take the calculator\'s size');
    assert.deepEqual(box.inner, [Math.ceil(box.width), Math.ceil(box.height)], 'the window as large as the calculator');
    assert.deepEqual([box.left, box.top], [0, 0]);
    assert.equal(box.client, designed.windows.mainfrm.width, 'the designed size');

    // Made larger again, as a browser that does not let the page size its window leaves it,
    // the window holds the calculator in its middle.
    const cdp = await page.createCDPSession();
    const { windowId } = await cdp.send('Browser.getWindowForTarget');
    await cdp.send('Browser.setWindowBounds', { windowId, bounds: { width: 1050, height: 880 } });
    const large = await waitFor(async () => {
      const now = await page.evaluate(placed);
      return now.inner[0] === 1050 && now;
    }, 'the larger window');
    const off = [large.left + large.width / 2 - large.inner[0] / 2, large.top + large.height / 2 - large.inner[1] / 2];
    assert.ok(off.every((d) => Math.abs(d) <= 1), `the calculator ${off} off the middle`);
  } finally {
    await app.close();
    rmSync(profile, { recursive: true, force: true, maxRetries: 5 });
  }

  // In a tab, nothing of this: the window keeps its size, the calculator stays at the top.
  const page = await tab({ viewport: { width: 1050, height: 880 } });
  try {
    await ready(page);
    const box = await page.evaluate(placed);
    assert.deepEqual([box.inner, box.left + box.width / 2, box.top], [[1050, 880], 525, 24]);
  } finally {
    await page.close();
  }
});

// What a printed PDF draws: its sheets, the colours its text is filled with, and those of the
// areas it fills (rectangles wider and taller than 4 points; a frame, drawn as a rectangle
// inside another, is a line), read from its content streams' operators.
function drawn(pdf) {
  const bytes = Buffer.from(pdf);
  const raw = bytes.toString('latin1');
  const streams = [];
  for (const m of raw.matchAll(/stream\r?\n/g)) {
    const start = m.index + m[0].length;
    try {
      streams.push(inflateSync(bytes.subarray(start, raw.indexOf('endstream', start))).toString('latin1'));
    } catch {} // not compressed, or not with zlib: no content stream of these browsers
  }
  const sheets = [raw, ...streams].reduce((n, s) => n + (s.match(/\/Type\s*\/Page\b/g)?.length ?? 0), 0);
  const texts = new Set(), areas = new Set();
  const token = /\((?:\\.|[^\\)])*\)|<<|>>|<[0-9A-Fa-f\s]*>|\[|\]|\/[^\s/[\]()<>]+|[-+]?(?:\d+\.?\d*|\.\d+)|[A-Za-z'"*]+/g;
  const rgb = (...c) => `rgb(${c.map((v) => Math.round(v * 255)).join(', ')})`;
  // Content streams are text; fonts and images are not.
  for (const stream of streams.filter((s) => !/[\x00-\x08\x0e-\x1f\x7f-\xff]/.test(s))) {
    let fill = rgb(0, 0, 0), operands = [], rects = [];
    for (const [t] of stream.matchAll(token)) {
      if (/^[-+]?[\d.]/.test(t) || t.startsWith('/')) {
        operands.push(t);
        continue;
      }
      if (!/^[A-Za-z'"*]+$/.test(t)) continue;
      const n = operands.map(Number);
      if (t === 'rg') fill = rgb(...n.slice(-3));
      else if (t === 'g') fill = rgb(n.at(-1), n.at(-1), n.at(-1));
      else if (t === 'sc' || t === 'scn') fill = operands.some((o) => o.startsWith('/')) ? 'a pattern' : rgb(...n.slice(-3));
      else if (t === 're') rects.push(n.slice(-4));
      else if (['f', 'F', 'f*', 'B', 'B*', 'b', 'b*'].includes(t)) {
        const frame = t.endsWith('*') && rects.length > 1;
        if (!frame && rects.some(([, , w, h]) => Math.min(Math.abs(w), Math.abs(h)) > 4)) areas.add(fill);
        rects = [];
      } else if (t === 'n' || t === 'S' || t === 's') rects = [];
      else if (['Tj', 'TJ', "'", '"'].includes(t)) texts.add(fill);
      operands = [];
    }
  }
  return { sheets, texts: [...texts], areas: [...areas] };
}

async function firefoxHeadless() {
  const profile = mkdtempSync(join(tmpdir(), 'quinbray-firefox-'));
  const ff = await puppeteer.launch({ browser: 'firefox', executablePath: firefox, headless: true, userDataDir: profile });
  stops.push(async () => {
    await ff.close();
    rmSync(profile, { recursive: true, force: true, maxRetries: 5 });
  });
  return ff.newPage();
}

test("printed by Chromium and by Firefox, with or without backgrounds: dark text, light areas, one sheet", async () => {
  for (const [engine, start] of [['Chromium', () => tab()], ['Firefox', firefoxHeadless]]) {
    const page = await start();
    try {
      if (engine === 'Firefox') await page.goto(url);
      await ready(page);
      for (const [window, open] of [['the calculator'], ['the help window', () => page.click('#mainfrm-cmd2')]]) {
        await open?.();
        await page.waitForFunction(() => document.querySelector('section.window:not([hidden])')?.id !== 'mainfrm' ||
          !document.querySelector('#helpfrm:not([hidden])'));
        for (const printBackground of [false, true]) {
          const at = `${engine}, ${window}, ${printBackground ? 'with' : 'without'} backgrounds`;
          const { sheets, texts, areas } = drawn(await page.pdf({ printBackground }));
          assert.equal(sheets, 1, `${at}: sheets`);
          assert.ok(texts.length > 0, `${at}: no text drawn`);
          for (const colour of texts)
            assert.ok(contrast(colour, 'rgb(255, 255, 255)') >= 7, `${at}: text in ${colour}`);
          for (const colour of areas)
            assert.ok(colour !== 'a pattern' && contrast(colour, 'rgb(0, 0, 0)') >= 7, `${at}: an area in ${colour}`);
        }
      }
    } finally {
      await page.close();
    }
  }
});
