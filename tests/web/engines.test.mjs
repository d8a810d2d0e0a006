// The scenario a person goes through on the calculator, in the two other browser engines:
// Gecko (Debian's Firefox ESR, driven over WebDriver BiDi by puppeteer-core) and WebKit
// (Debian's WebKitGTK: its WebKitWebDriver and MiniBrowser, on a virtual X server, driven
// over WebDriver by WebdriverIO's client). Real pointer and key input in both.
//
// What an engine cannot be driven to do is left to the others' checks: WebKitWebDriver
// reports a right or middle button's release as the left's, so the other mouse buttons are
// Chromium's and Firefox's; neither driver gives the accessibility tree (puppeteer reads it
// over Chromium's own protocol), so what screen readers hear is Chromium's; and phones with
// their screen sizes and pixel ratios, held-back downloads, offline use and Lighthouse are
// emulated or driven through that protocol too. Both engines take the pointer as a finger.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';
import WebDriver from 'webdriver';
import { freePort, serve, xServer } from './browser.mjs';
import { startUpTexts, windows } from './designed.mjs';

const site = process.env.QUINBRAY_SITE;
const firefox = process.env.FIREFOX ?? '/usr/bin/firefox-esr';
const webDriver = process.env.WEBKIT_WEBDRIVER ?? '/usr/bin/WebKitWebDriver';
const miniBrowser = process.env.WEBKIT_MINIBROWSER ?? '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
let server, url;
const stops = [];

before(async () => {
  server = await serve(site);
  url = `http://127.0.0.1:${server.address().port}/`;
});

after(async () => {
  for (const stop of stops.reverse()) await stop();
  server?.close();
});

// Gecko: a person's input through puppeteer's BiDi, which Firefox speaks itself.
async function gecko() {
  const profile = mkdtempSync(join(tmpdir(), 'quinbray-firefox-'));
  const browser = await puppeteer.launch({ browser: 'firefox', executablePath: firefox, headless: true, userDataDir: profile,
    extraPrefsFirefox: { 'ui.key.menuAccessKeyFocuses': false } });
  const page = await browser.newPage();
  await page.setViewport({ width: 800, height: 600 });
  stops.push(async () => {
    await browser.close();
    rmSync(profile, { recursive: true, force: true, maxRetries: 5 });
  });
  const chords = async (...chords) => {
    for (const chord of chords) {
      const [key, ...modifiers] = chord.split('+').reverse();
      for (const modifier of modifiers) await page.keyboard.down(modifier);
      await page.keyboard.press(key === 'Space' ? ' ' : key);
      for (const modifier of modifiers) await page.keyboard.up(modifier);
    }
  };
  return {
    name: 'Firefox ESR',
    buttons: ['left', 'right', 'middle'],
    open: async (address) => {
      await page.goto(address);
      await page.waitForSelector('html.ready');
    },
    click: (selector, button = 'left') => page.click(selector, { button }),
    tap: async (selector) => {
      const box = await (await page.$(selector)).boundingBox();
      await page.touchscreen.tap(box.x + box.width / 2, box.y + box.height / 2);
    },
    keys: chords,
    type: async (selector, text) => {
      await page.click(selector);
      await chords('Control+KeyA');
      await page.keyboard.type(text);
    },
    run: (script, ...args) => page.evaluate(script, ...args),
    back: () => page.goBack(),
  };
}

// WebKit: WebKitGTK's own driver starts its MiniBrowser for automation; WebDriver's actions
// are a person's pointer and keys, dispatched by the browser as real input.
async function webkit() {
  const display = await xServer(stops, '1024x768x24');
  const port = await freePort();
  const driver = spawn(webDriver, [`--port=${port}`], { env: { ...process.env, DISPLAY: display }, stdio: 'ignore' });
  stops.push(() => driver.kill());
  const client = await retry(() => WebDriver.newSession({
    hostname: '127.0.0.1', port, path: '/', logLevel: 'warn', connectionRetryCount: 0,
    capabilities: { browserName: 'MiniBrowser', 'wdio:enforceWebDriverClassic': true,
      'webkitgtk:browserOptions': { binary: miniBrowser, args: ['--automation'] } },
  }));
  stops.push(() => client.deleteSession());
  await client.setWindowRect(null, null, 900, 700);
  const key = { Control: '\uE009', Alt: '\uE00A', Shift: '\uE008', Tab: '\uE004', ArrowDown: '\uE015',
    ArrowUp: '\uE013', Enter: '\uE007', Escape: '\uE00C', Space: ' ' };
  const stroke = (value) => [{ type: 'keyDown', value }, { type: 'keyUp', value }];
  const keys = async (...chords) => {
    const actions = chords.flatMap((chord) => {
      const [last, ...modifiers] = chord.split('+').reverse();
      const named = (name) => key[name] ?? name.replace(/^Key/, '').toLowerCase();
      return [...modifiers.map((m) => ({ type: 'keyDown', value: named(m) })), ...stroke(named(last)),
        ...modifiers.map((m) => ({ type: 'keyUp', value: named(m) }))];
    });
    await client.performActions([{ type: 'key', id: 'keyboard', actions }]);
    await client.releaseActions();
  };
  const run = (script, ...args) => client.executeScript(`return (${script})(...arguments)`, args);
  const press = async (selector, pointerType) => {
    const element = await client.findElement('css selector', selector);
    await client.performActions([{ type: 'pointer', id: pointerType, parameters: { pointerType }, actions: [
      { type: 'pointerMove', origin: element, x: 0, y: 0 }, { type: 'pointerDown', button: 0 }, { type: 'pointerUp', button: 0 }] }]);
    await client.releaseActions();
  };
  const click = (selector) => press(selector, 'mouse');
  return {
    name: 'WebKitGTK',
    buttons: ['left'],
    open: async (address) => {
      await client.navigateTo(address);
      await waitFor(() => run(() => document.documentElement.matches('.ready')));
    },
    click,
    tap: (selector) => press(selector, 'touch'),
    keys,
    type: async (selector, text) => {
      await click(selector);
      await keys('Control+KeyA');
      const actions = [...text].flatMap(stroke);
      await client.performActions([{ type: 'key', id: 'keyboard', actions }]);
      await client.releaseActions();
    },
    run,
    back: () => client.back(),
  };
}

async function retry(attempt, tries = 50) {
  for (let i = 1; ; i++) {
    try {
      return await attempt();
    } catch (error) {
      if (i >= tries) throw error;
      await new Promise((done) => setTimeout(done, 100)); // the driver is still starting
    }
  }
}

// Polls the page until `check` holds: evidence, or a failure after five seconds.
async function waitFor(check, what = 'the page') {
  const end = Date.now() + 5000;
  while (!(await check())) {
    if (Date.now() > end) throw new Error(`waited in vain for ${what}`);
    await new Promise((done) => setTimeout(done, 50));
  }
}

const values = (b) => b.run(() => Object.fromEntries([...document.querySelectorAll('#mainfrm input')]
  .map((e) => [e.id.slice(8), e.value])));
const shown = (b) => b.run(() => [...document.querySelectorAll('section.window:not([hidden])')].map((e) => e.id));
const result = async (b) => (await values(b)).Text1;

// One person's way through the calculator, step by step: each row acts, then checks.
const scenario = [
  ['the window with its start-up values', async () => {}, async (b) => {
    assert.deepEqual(await values(b), startUpTexts);
    assert.equal(await b.run(() => document.title), windows.mainfrm.title);
  }],
  ['Calculate with each mouse button the engine can drive', async () => {}, async (b) => {
    const typed = [['Combo1', '10'], ['Text3', '0.5'], ['Combo4', '1000'], ['Combo5', '3']];
    for (const [name, text] of typed) await b.type(`#mainfrm-${name}`, text);
    for (const [i, button] of b.buttons.entries()) {
      await b.type('#mainfrm-Combo2', String(4 + i));
      await b.click('#mainfrm-cmd1', button);
      const expected = (10 * 0.5 * 3 * 1000 / (1000 * (4 + i))).toFixed(2);
      await waitFor(async () => (await result(b)) === expected, `${button}: ${expected}`);
    }
  }],
  ['a tap on Calculate', async (b) => {
    await b.type('#mainfrm-Combo2', '8');
    await b.tap('#mainfrm-cmd1');
  }, async (b) => waitFor(async () => (await result(b)) === '1.88', '1.88')],
  ['the keyboard never calculates', async (b) => {
    await b.type('#mainfrm-Combo2', '1');
    await b.run(() => document.querySelector('#mainfrm-cmd1').focus());
    await b.keys('Enter', 'Space', 'Alt+KeyC');
  }, async (b) => assert.notEqual(await result(b), '15.00')],
  ['a list: Alt+Down, two up, Tab keeps the item', async (b) => {
    await b.type('#mainfrm-Combo4', '2500');
    await b.keys('Alt+ArrowDown', 'ArrowUp', 'ArrowUp', 'Tab');
  }, async (b) => {
    assert.equal((await values(b)).Combo4, '1000');
    assert.equal(await b.run(() => document.activeElement.id), 'mainfrm-cmd1');
  }],
  ['a list: Escape puts back the text', async (b) => {
    await b.click('#mainfrm-Combo5');
    await b.keys('ArrowDown', 'ArrowDown', 'Escape');
  }, async (b) => assert.equal((await values(b)).Combo5, '3')],
  ['a list: a press on the title closes it, and only that', async (b) => {
    await b.click('#mainfrm-Combo1 + .drop');
    await waitFor(() => b.run(() => !document.querySelector('#mainfrm-Combo1-list').hidden), 'the list');
    await b.click('#mainfrm-title');
  }, async (b) => {
    assert.equal(await b.run(() => document.querySelector('#mainfrm-Combo1-list').hidden), true);
    assert.equal((await values(b)).Combo1, '10');
  }],
  ['a picked item', async (b) => {
    await b.click('#mainfrm-Combo2 + .drop');
    await b.click('#mainfrm-Combo2-list li:nth-child(4)');
    await b.click('#mainfrm-cmd1');
  }, async (b) => {
    assert.equal((await values(b)).Combo2, '4');
    await waitFor(async () => (await result(b)) === '3.75', '3.75');
  }],
  ['Help, then Back', async (b) => {
    await b.click('#mainfrm-cmd2');
    await waitFor(async () => (await shown(b))[0] === 'helpfrm', 'the help window');
    await b.back();
  }, async (b) => {
    await waitFor(async () => (await shown(b))[0] === 'mainfrm', 'the main window');
    assert.equal((await values(b)).Text1, '3.75');
  }],
  ['Alt+H and Alt+C take turns', async (b) => {
    await b.keys('Alt+KeyH');
    await waitFor(async () => (await shown(b))[0] === 'helpfrm', 'the help window');
    await b.keys('Alt+KeyC');
  }, async (b) => assert.deepEqual(await shown(b), ['mainfrm'])],
  ['a zero gives the warning, OK closes it', async (b) => {
    await b.type('#mainfrm-Combo2', '0');
    await b.click('#mainfrm-cmd1');
    await waitFor(() => b.run(() => document.querySelector('dialog[open]') !== null), 'the warning');
    await b.keys('Enter');
  }, async (b) => {
    await waitFor(() => b.run(() => !document.querySelector('dialog')), 'the warning to go');
    assert.equal(await result(b), '');
  }],
  ['Exit', (b) => b.click('#mainfrm-cmd3'), async (b) => {
    await waitFor(() => b.run(() => !document.getElementById('ended').hidden), 'the end');
    assert.equal(await b.run(() => document.querySelectorAll('section.window').length), 0);
  }],
];

for (const [engine, start] of [['Gecko', gecko], ['WebKit', webkit]])
  test(`the scenario in ${engine}`, async () => {
    const b = await start();
    await b.open(url);
    for (const [name, act, check] of scenario) {
      try {
        await act(b);
        await check(b);
      } catch (error) {
        error.message = `${b.name}, ${name}: ${error.message}`;
        throw error;
      }
    }
  });
