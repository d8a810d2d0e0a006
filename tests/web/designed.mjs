// The windows as designed (tests/designed.txt, which says its form), for the browser tests.
import { readFileSync } from 'node:fs';

const rgb = (text) => (text ? text.split(',').map(Number) : null);
const number = (text, line) => {
  if (text === '' || Number.isNaN(Number(text))) throw new Error(`designed.txt: "${text}" is no number in: ${line}`);
  return Number(text);
};

export const windows = {}; // name → { title, width, height, points }
export const controls = []; // { window, name, x, y, width, height, caption, points, text, background }
export const startUp = {}; // the calculator's input or result → { label, text, items }
export const tabOrder = {}; // window → its controls' names, from the first stop round to the last

for (const line of readFileSync(new URL('../designed.txt', import.meta.url), 'utf8').split('\n')) {
  if (!line || line.startsWith('#')) continue;
  const [kind, window, name, ...rest] = line.split('|');
  if (kind === 'window') {
    windows[window] = { title: name, width: number(rest[0], line), height: number(rest[1], line), points: number(rest[2], line) };
  } else if (kind === 'control') {
    const [x, y, width, height] = rest.slice(0, 4).map((n) => number(n, line));
    controls.push({ window, name, x, y, width, height, caption: rest[4], points: number(rest[5], line), text: null, background: null });
  } else if (kind === 'colour') {
    const control = controls.find((c) => c.window === window && c.name === name);
    if (!control) throw new Error(`designed.txt: a colour of no control in: ${line}`);
    [control.text, control.background] = [rgb(rest[0]), rgb(rest[1])];
  } else if (kind === 'startup') {
    startUp[name] = { label: rest[0], text: rest[1], items: rest.slice(2) };
  } else if (kind === 'tab') {
    if (!windows[window]) throw new Error(`designed.txt: a tab order of no window in: ${line}`);
    tabOrder[window] = [name, ...rest];
  } else {
    throw new Error(`designed.txt: unknown line: ${line}`);
  }
}

export const control = (window, name) => controls.find((c) => c.window === window && c.name === name);
// The inputs' and the result's texts at start-up, by name.
export const startUpTexts = Object.fromEntries(Object.entries(startUp).map(([name, { text }]) => [name, text]));
