// Takes the README's pictures of the site in Chromium, one calculation done: as a desktop
// browser shows it, and on a 360 px wide phone, where it is drawn larger. Usage: node scripts/screenshots-web.mjs SITE
import { launch, serve } from '../tests/web/browser.mjs';

const server = await serve(process.argv[2]);
const browser = await launch();
const views = {
  'web-desktop': { width: 640, height: 330, deviceScaleFactor: 1 },
  'web-phone': { width: 360, height: 640, deviceScaleFactor: 2, isMobile: true, hasTouch: true },
};
for (const [name, viewport] of Object.entries(views)) {
  const page = await browser.newPage();
  await page.setViewport(viewport);
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
  await page.waitForSelector('html.ready'); // the program has taken the window over
  await page.click('#mainfrm-cmd1');
  await page.screenshot({ path: `docs/screenshots/${name}.png` });
  await page.close();
}
await browser.close();
server.close();
