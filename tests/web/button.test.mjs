// The Calculate button's press and release bookkeeping in the page, in Debian's Chromium:
// chords of mouse buttons, a touch the browser takes back, and the right button's menu.
// Each case opens a page of its own, so the cases do not depend on their order.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { launch, serve } from './browser.mjs';

let server, browser, url;

before(async () => {
  server = await serve(process.env.QUINBRAY_SITE);
  url = `http://127.0.0.1:${server.address().port}/`;
  browser = await launch();
});

after(async () => {
  await browser?.close();
  server?.close();
});

const $ = (name) => `#mainfrm-${name}`;

async function open() {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport({ width: 800, height: 600 });
  await page.goto(url);
  await page.waitForSelector('html.ready');
  page.result = () => page.$eval($('Text1'), (e) => e.value);
  page.center = async (name) => {
    const box = await (await page.$($(name))).boundingBox();
    return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
  };
  page.type = async (name, text) => {
    await page.click($(name), { clickCount: 3 });
    await page.keyboard.type(text);
  };
  // A round trip through the page's event loop and a frame: what the input did is done.
  page.settle = () => page.evaluate(() => new Promise((done) => requestAnimationFrame(() => setTimeout(done, 0))));
  page.close = () => context.close();
  return page;
}

test('each button of a chord pressed on Calculate computes on its own release, off the button too', async () => {
  for (const [first, second] of [['right', 'middle'], ['middle', 'right'], ['left', 'right']]) {
    const page = await open();
    const at = await page.center('cmd1');
    await page.mouse.move(at.x, at.y);
    await page.mouse.down({ button: first });
    await page.mouse.down({ button: second }); // comes to the button as a move
    await page.mouse.move(at.x + 200, at.y + 150);
    await page.mouse.up({ button: second });
    await page.settle();
    assert.equal(await page.result(), '1.00', `${second}, released second while ${first} is held`);
    await page.$eval($('Text1'), (e) => { e.value = ''; }); // to see the next run
    await page.mouse.up({ button: first });
    await page.settle();
    assert.equal(await page.result(), '1.00', `${first}, released last`);
    await page.close();
  }
});

test('a touch the browser takes back leaves no press behind for a later release', async () => {
  const page = await open();
  const cdp = await page.createCDPSession();
  const at = await page.center('cmd1');
  await page.$eval($('Text1'), (e) => { e.value = 'unchanged'; });
  const point = [{ x: at.x, y: at.y, id: 1 }];
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: point });
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchCancel', touchPoints: [] });
  // Then a press begun elsewhere, released on Calculate: the release has no press of its own.
  const from = await page.center('Text3');
  await page.mouse.move(from.x, from.y);
  await page.mouse.down();
  await page.mouse.move(at.x, at.y);
  await page.mouse.up();
  await page.settle();
  assert.equal(await page.result(), 'unchanged');
  await page.close();
});

test('the right button on Calculate opens no menu of the browser', async () => {
  const page = await open();
  const at = await page.center('cmd1');
  // The listener is in place before the click: input reaches the page by another way than
  // an evaluation, and may overtake one that is still on its way.
  await page.evaluate(() =>
    document.addEventListener('contextmenu', (e) => (window.menuPrevented = e.defaultPrevented), { once: true }));
  await page.mouse.click(at.x, at.y, { button: 'right' });
  await page.waitForFunction(() => window.menuPrevented !== undefined);
  assert.equal(await page.evaluate(() => window.menuPrevented), true);
  assert.equal(await page.result(), '1.00');
  await page.close();
});
