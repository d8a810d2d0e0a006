// What the screen reader Orca says of the site, in Firefox ESR and in Chromium, each shown
// on the virtual X server that orca.sh starts, with Orca running there: the mouse and keys
// are X input (xdotool), as a person's are, and what Orca said is read from its own log
// ($ORCA_LOG). Each Calculate is heard, also the same result again, with the focus staying
// on Calculate; opening and closing the help window says the window and the control that
// has the focus; Exit says that the calculator has ended.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';
import { chromium, chromiumFlags, serve } from './browser.mjs';
import { controls, windows } from './designed.mjs';

const site = process.env.QUINBRAY_SITE;
const firefox = process.env.FIREFOX ?? '/usr/bin/firefox-esr';
let server, url;

before(async () => {
  server = await serve(site);
  url = `http://127.0.0.1:${server.address().port}/`;
});
after(() => server?.close());

// Every utterance in Orca's log so far, as it was said: a zero-width space is not heard.
const utterances = () => [...readFileSync(process.env.ORCA_LOG, 'utf8').matchAll(/SPEECH OUTPUT: '(.*?)'(?: ?\{|\r?$)/gm)]
  .map(([, words]) => words.replace(/\u200b/g, '').replace(/\s+/g, ' ').trim());
// Waits for Orca to have said `expected`, in that order, each whole or matching, among what
// it said after `mark` utterances; gives back what it said then.
async function hears(mark, expected, what) {
  let said = [];
  for (let wait = 0; wait < 300; wait++) {
    said = utterances().slice(mark);
    let at = 0;
    const is = (words, wanted) => (wanted instanceof RegExp ? wanted.test(words) : words === wanted);
    for (const words of said) if (at < expected.length && is(words, expected[at])) at++;
    if (at === expected.length) return said;
    await new Promise((done) => setTimeout(done, 100));
  }
  assert.fail(`${what}: Orca did not say ${JSON.stringify(expected)}; it said ${JSON.stringify(said)}`);
}

const xdotool = (...args) => execFileSync('xdotool', args, { encoding: 'utf8' }).trim();

// A browser shown on the X server, its window given the keyboard, on the site's page.
async function show(engine) {
  const profile = mkdtempSync(join(tmpdir(), 'quinbray-orca-'));
  const browser = engine === 'Firefox ESR'
    ? await puppeteer.launch({ browser: 'firefox', executablePath: firefox, headless: false, userDataDir: profile,
      extraPrefsFirefox: { 'ui.key.menuAccessKeyFocuses': false }, env: { ...process.env, GNOME_ACCESSIBILITY: '1' } })
    : await puppeteer.launch({ executablePath: chromium, headless: false, userDataDir: profile, defaultViewport: null,
      args: [...chromiumFlags, '--force-renderer-accessibility', '--window-position=0,0', '--window-size=800,600'],
      env: { ...process.env, ACCESSIBILITY_ENABLED: '1' } });
  const tab = (await browser.pages())[0] ?? (await browser.newPage());
  await tab.goto(url);
  await tab.waitForSelector('html.ready');
  const window = xdotool('search', '--sync', '--onlyvisible', '--name', windows.mainfrm.title).split('\n')[0];
  xdotool('windowfocus', '--sync', window);
  // A click with the X pointer in the middle of the element, wherever the browser's own bars
  // put the page on the screen.
  tab.press = async (selector) => {
    const [x, y] = await tab.$eval(selector, (e) => {
      const box = e.getBoundingClientRect();
      const left = window.mozInnerScreenX ?? window.screenX + (window.outerWidth - window.innerWidth) / 2;
      const top = window.mozInnerScreenY ?? window.screenY + window.outerHeight - window.innerHeight;
      return [Math.round(left + box.x + box.width / 2), Math.round(top + box.y + box.height / 2)];
    });
    xdotool('mousemove', '--sync', String(x), String(y));
    xdotool('click', '1');
  };
  tab.done = async () => {
    await browser.close();
    rmSync(profile, { recursive: true, force: true, maxRetries: 5 });
  };
  return tab;
}

const main = windows.mainfrm.title;
const helpText = controls.filter((c) => c.window === 'helpfrm' && c.name.startsWith('Label'))
  .map((c) => c.caption).join(' ').replace(/\s+/g, ' ');
const result = 'Quinbray per Increment: 1.00';

for (const engine of ['Firefox ESR', 'Chromium']) {
  test(`${engine}: Orca hears every Calculate, each window as it opens, and the end`, async () => {
    const tab = await show(engine);
    try {
      // In a field the page, not the browser's bars, has the keys; Orca takes them to it.
      await tab.press('#mainfrm-Text3');
      await hears(utterances().length - 1, ['Focus mode'], 'the page');
      // Calculate takes the focus with the first press; each press after it, on the same
      // inputs, gives the same result, which is heard each time while the focus stays.
      let mark = utterances().length;
      await tab.press('#mainfrm-cmd1');
      await hears(mark, [result], 'the first Calculate');
      for (let i = 1; i <= 3; i++) {
        mark = utterances().length;
        await tab.press('#mainfrm-cmd1');
        const said = await hears(mark, [result], `Calculate ${i} with the focus on it`);
        assert.deepEqual(said.filter((words) => words.startsWith('Quinbray per')), [result], `Calculate ${i}`);
      }
      assert.equal(await tab.evaluate(() => document.activeElement.id), 'mainfrm-cmd1', 'the focus stays on Calculate');

      mark = utterances().length;
      await tab.press('#mainfrm-cmd2');
      await hears(mark, [`${windows.helpfrm.title} dialog ${helpText}`, 'Close push button.'], 'Help');
      mark = utterances().length;
      await tab.press('#helpfrm-cmd1');
      await hears(mark, [`${main} dialog`, 'Help push button.'], 'Close');

      mark = utterances().length;
      await tab.press('#mainfrm-cmd3');
      // The link takes the focus, described by the line (the link is to the page itself, so
      // visited).
      await hears(mark, [/^Start it again (visited )?link\.$/, 'The calculator has ended.'], 'Exit');
      assert.equal(await tab.title(), `The calculator has ended – ${main}`);
    } finally {
      await tab.done();
    }
  });
}
