// The benchmark's table from the rows its programs print: the first run's rows as they
// are, the second run's figure beside each row it measured again, and for each goal whether
// the numbers meet it, in every run that measured the row.
// Usage: node bench/table.mjs FIRST_ROWS [SECOND_ROWS]
// Each file holds rows "| what | measured | baseline | ratio or difference | goal |".
import { readFileSync } from 'node:fs';

const [first, second] = process.argv.slice(2);
const rowsOf = (file) => readFileSync(file, 'utf8').split('\n').filter((line) => line.startsWith('|'))
  .map((line) => line.split('|').slice(1, -1).map((cell) => cell.trim()));
const rows = rowsOf(first);
const again = new Map(second ? rowsOf(second).map((cells) => [cells[0], cells]) : []);

// The figure a goal is about: the ratio or difference where the row has one, else what was
// measured; its leading number, with its sign.
const figure = (cells) => cells[3] || cells[1];
const number = (text) => Number(/[+-]?\d+(\.\d+)?/.exec(text)?.[0]);
const meets = (value, goal) => {
  const [, how, limit] = /^(at most|under|at least)?\s*([+-]?\d+(?:\.\d+)?)/.exec(goal) ?? [];
  if (limit === undefined || Number.isNaN(value)) return undefined;
  if (how === 'at most') return value <= Number(limit);
  if (how === 'under') return value < Number(limit);
  return value >= Number(limit); // "at least", or a bare score
};
const verdict = (cells, secondCells) => {
  const goal = cells[4];
  if (!goal) return '';
  const results = [cells, secondCells].filter(Boolean).map((c) => meets(number(figure(c)), goal));
  if (results.includes(undefined)) return '?';
  if (results.every(Boolean)) return 'met';
  if (!results.some(Boolean)) return 'not met';
  return `met in ${results.filter(Boolean).length} of ${results.length} runs`;
};

const line = (cells) => console.log(`| ${cells.join(' | ')} |`);
line(['what', 'measured', 'baseline', 'ratio or difference', 'second run', 'goal', 'met']);
line(Array(7).fill('---'));
for (const cells of rows) {
  const [what, measured, baseline, ratio, goal] = cells;
  const secondCells = again.get(what);
  line([what, measured, baseline, ratio, secondCells ? figure(secondCells) : '', goal, verdict(cells, secondCells)]);
}
