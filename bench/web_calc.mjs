// The calculation compiled for the browser against the same table program native, over the
// same 100,000 cases, as rows of the benchmark table: once with values from the lists, as
// people calculate, once with the shared table of edge cases, where numbers beyond 15 digits
// or powers of ten beyond 22 take the slow path.
//
// Both sides are timed alike, by the table program itself (calc_table --time): its loop over
// the cases alone, after reading them and before writing, so that neither a process's start
// and pipes nor the page's compiling and instantiating count. In each round the two run in a
// random order, and each goes over the cases 5 times and keeps its best; a row gives each
// side's median over the rounds, and the median of the rounds' ratios with their
// interquartile range.
// Usage: node bench/web_calc.mjs CALC_TABLE_WASM CALC_TABLE_NATIVE CASES [ROUNDS]
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { launch, quantile, runWasiCommand } from '../tests/web/browser.mjs';
import { startUp } from '../tests/web/designed.mjs';

const [tableWasm, tableNative, cases, rounds = '11'] = process.argv.slice(2);
const loops = 5;

const best = (output) => Math.min(...output.trim().split('\n').map(Number));

// The division is typed, not picked: a few sizes people use.
const lists = [startUp.Combo1.items, startUp.Combo2.items, ['1', '0.5', '0.2', '2', '5', '10', '0.1'],
  startUp.Combo4.items, startUp.Combo5.items];
const typical = Array.from({ length: 420 }, (_, i) => lists.map((l) => l[i % l.length]).join('|'));
const edges = readFileSync(cases, 'utf8').trimEnd().split('\n').filter((line) => line.length < 200);

const browser = await launch();
const page = await browser.newPage();
const wasm = [...readFileSync(tableWasm)];
const args = ['--time', String(loops)];
for (const [name, table] of [['values from the lists', typical], ['the shared table of edge cases', edges]]) {
  const input = `${Array.from({ length: 100000 }, (_, i) => table[i % table.length]).join('\n')}\n`;
  const times = { page: [], native: [] };
  const run = {
    native: () => best(execFileSync(tableNative, args, { input, encoding: 'utf8', maxBuffer: 1 << 20 })),
    page: async () => best((await page.evaluate(runWasiCommand, wasm, input, 1, args)).output),
  };
  for (let round = 0; round < Number(rounds); round++) {
    for (const side of Math.random() < 0.5 ? ['native', 'page'] : ['page', 'native'])
      times[side].push(await run[side]());
  }
  const ratios = times.page.map((time, i) => time / times.native[i]);
  const [q1, median, q3] = [0.25, 0.5, 0.75].map((p) => quantile(ratios, p));
  console.log(`| web: calculation in the page, 100,000 cases of ${name}, best of ${loops}, median of ${rounds} rounds | ` +
    `${quantile(times.page, 0.5).toFixed(1)} ms | ${quantile(times.native, 0.5).toFixed(1)} ms (native, the same loop) | ` +
    `${median.toFixed(2)} (IQR ${q1.toFixed(2)} to ${q3.toFixed(2)}) | at most 2 |`);
}
await browser.close();
