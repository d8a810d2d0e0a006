// Writes the site's page with the calculator window already in it, as the program makes it
// at start-up: the program runs here, in Node.js, through the very module that makes its
// windows in the browser, against jsdom's DOM. The places, sizes and fonts the program gives
// its window go into the stylesheet as rules, since the page's policy allows no style in
// its markup; and each text box's text into its markup, where the browser shows it.
// Usage: node prerender.mjs PAGE_TEMPLATE STYLESHEET SITE   (NODE_PATH must reach jsdom)
import { copyFileSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

const [template, stylesheet, site] = process.argv.slice(2);
const { JSDOM } = createRequire(import.meta.url)('jsdom');

const dom = new JSDOM(readFileSync(template, 'utf8'));
globalThis.window = dom.window;
globalThis.document = dom.window.document;
globalThis.history = dom.window.history;

// Node.js before 20.19 (Debian 12 has 18) takes a .js file for CommonJS unless a package.json
// beside it says otherwise; the site ships none, so the modules are read from a copy that has one.
const modules = mkdtempSync(join(tmpdir(), 'quinbray-modules-'));
process.on('exit', () => rmSync(modules, { recursive: true, force: true }));
writeFileSync(join(modules, 'package.json'), '{ "type": "module" }\n');
for (const name of readdirSync(site).filter((file) => file.endsWith('.js')))
  copyFileSync(join(site, name), join(modules, name));
const module = (name) => import(pathToFileURL(join(modules, name)).href);
const { imports, starting, styling } = await module('page.js');
const rules = [];
styling.apply = (element, css) =>
  rules.push(`#${element.id} { ${css.split(';').filter(Boolean).join('; ')}; }`);

const { instance } = await WebAssembly.instantiate(readFileSync(join(site, 'Quinbray.wasm')), imports);
starting(instance.exports, (error) => {
  throw error;
});
instance.exports._initialize();
instance.exports.__main_void();

for (const input of document.querySelectorAll('input')) input.setAttribute('value', input.value);
writeFileSync(join(site, 'index.html'), `${dom.serialize()}\n`);
writeFileSync(join(site, 'style.css'), `${readFileSync(stylesheet, 'utf8')}
/* The windows the page's HTML holds, as the program lays them out. */
${rules.join('\n')}
`);
