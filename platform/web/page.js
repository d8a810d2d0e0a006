// What the program imports: what page.h asks of the page, and the few calls of the system
// interface (WASI) its C++ library makes. In that order: windows and controls made from what
// the design says, or taken over where the page's HTML already holds them, their texts and
// lists, showing and hiding, warnings and the end; the saying of a field's new text; the
// browser's history as a window's close control; the take-over of the windows the page's
// HTML holds; and WASI. It hands the controls' notifications back to the program, through
// the start-up (startup.js), which keeps those that come before the program is ready until
// it is. It knows control kinds, not any program's controls; the controls' own behaviour
// and keys are controls.js's.

import { Combo, makeButton, takeKeys, wireButton } from './controls.js';
import * as startup from './startup.js';

export { stop, restart } from './startup.js';

const encoder = new TextEncoder();
const decoder = new TextDecoder();

let program; // the program's exports, its memory among them
let stash = new Uint8Array(0); // a text between text_size and text_read
let warnings = 0; // for the warnings' ids
const nodes = [null]; // page ids: windows and controls, from 1
const ids = new WeakMap(); // element → its page id, once the program has it
const windows = new Map(); // panel → { title, client, focus }
const combos = new WeakMap(); // a list's text box → its Combo
const closable = new WeakSet(); // windows whose close control the program answers
let first = null; // the window shown first, which the browser's Back leaves with the page
let leaving = false; // a window's history entry is being left for the program
let clicked = null; // the button whose click is being handled, which opens a window it shows
const keptForAssistiveTechnology = 1500; // ms, a window that gave up the focus (see visible)

// How a control gets its place, size and font; the build that writes the page's HTML puts
// them in a stylesheet instead, since the page's policy allows no style in its markup.
export const styling = { apply: (element, css) => (element.style.cssText = css) };

const text = (at, size) => decoder.decode(new Uint8Array(program.memory.buffer, at, size));
const keep = (node) => nodes.push(node) - 1;
const shown = () => [...windows.keys()].find((panel) => !panel.hidden);
const focusable = (panel) =>
  [...panel.querySelectorAll('input, button')].filter((e) => e.tabIndex >= 0);

// Runs once the next frame is drawn, or soon where none is (a tab in the background).
function afterFrame(run) {
  let ran = false;
  const once = () => ran || ((ran = true), run());
  requestAnimationFrame(() => setTimeout(once));
  setTimeout(once, 100);
}

// Hands a notification to the program, or keeps it until the program is ready.
const notify = (element, call) =>
  startup.notify(element, () => ids.has(element) && guard(() => call(ids.get(element))));
// A click, which is what opens a window.
const click = (button) =>
  notify(button, (id) => {
    clicked = button;
    try {
      program.ui_click(id);
    } finally {
      clicked = null;
    }
  });

// A failure inside the program leaves it in no state to go on from.
let onFailure = () => {};
function guard(run) {
  try {
    run();
  } catch (error) {
    onFailure(error);
  }
}

function addWindow(panel, title) {
  const window = { title, client: panel.querySelector('.client'), focus: null };
  panel.addEventListener('focusin', (e) => (window.focus = e.target));
  // A click on the window's background or a caption leaves the focus on its control.
  panel.addEventListener('mousedown', (e) => !e.target.closest('input, button, li') && e.preventDefault());
  windows.set(panel, window);
}

function wire(element, box = element.closest('.combo')) {
  if (element.matches('button.control'))
    wireButton(element, {
      click: () => click(element),
      mouseUp: (...args) => notify(element, (id) => program.ui_mouse_up(id, ...args)),
      scale: () => parseFloat(getComputedStyle(element).getPropertyValue('--px')) || 1,
    });
  else if (box?.matches('.combo')) combos.set(element, new Combo(element, box));
}

// A control in a window, after those made before it, as `make(id)` makes it: [element], or
// [element, the box it is in]; or the one the page's HTML holds, taken over already.
function control(window, idAt, idSize, cssAt, cssSize, make) {
  const id = text(idAt, idSize);
  const existing = document.getElementById(id);
  if (existing && startup.taken.has(existing)) {
    ids.set(existing, nodes.length);
    return keep(existing);
  }
  const [element, box = element] = make(id);
  element.id = id;
  box.classList.add('control');
  styling.apply(box, text(cssAt, cssSize));
  windows.get(nodes[window]).client.append(box);
  wire(element, box);
  ids.set(element, nodes.length);
  return keep(element);
}

// A text box, of a field or a list, with its text.
function input(textAt, textSize, readOnly, tabStop) {
  const element = document.createElement('input');
  element.type = 'text';
  element.maxLength = 32767; // as a desktop text box
  // Numbers, not words: no completion, correction, capital or spelling mark, and a phone's
  // numeric keyboard, which has the full stop. The sign and the exponent the reader also
  // takes are missing from some such keyboards, but no quantity here is negative or needs
  // one; a pasted text is taken whole. Enter ends the typing.
  element.setAttribute('spellcheck', 'false');
  element.setAttribute('autocomplete', 'off');
  element.readOnly = readOnly;
  if (!readOnly)
    for (const [name, value] of Object.entries({ inputmode: 'decimal', autocapitalize: 'off',
      autocorrect: 'off', enterkeyhint: 'done' })) element.setAttribute(name, value);
  if (!tabStop) element.tabIndex = -1;
  element.value = text(textAt, textSize);
  return element;
}

const page = {
  window(idAt, idSize, titleAt, titleSize, cssAt, cssSize) {
    const id = text(idAt, idSize);
    const title = text(titleAt, titleSize);
    let panel = document.getElementById(id);
    if (panel && startup.taken.has(panel)) {
      ids.set(panel, nodes.length);
      return keep(panel);
    }
    panel = document.createElement('section');
    panel.className = 'window';
    panel.id = id;
    panel.hidden = true;
    const heading = document.createElement('h1');
    heading.id = `${panel.id}-title`;
    heading.textContent = title;
    // To assistive technology a window is what it is on a desktop: a dialog named by its
    // title, which is said as the focus enters it; non-modal, since the page around it is
    // the browser's. Its text, the captions that label no input, describes it.
    panel.setAttribute('role', 'dialog');
    panel.setAttribute('aria-labelledby', heading.id);
    const client = document.createElement('div');
    client.className = 'client';
    styling.apply(panel, text(cssAt, cssSize));
    panel.append(heading, client);
    addWindow(panel, title);
    (document.querySelector('main') ?? document.body).append(panel);
    ids.set(panel, nodes.length);
    return keep(panel);
  },

  label: (window, idAt, idSize, captionAt, captionSize, cssAt, cssSize, forAt, forSize) =>
    control(window, idAt, idSize, cssAt, cssSize, (id) => {
      const element = document.createElement(forSize ? 'label' : 'div');
      if (forSize) element.htmlFor = text(forAt, forSize);
      element.textContent = text(captionAt, captionSize);
      element.classList.add('label');
      if (!forSize) {
        const panel = nodes[window];
        const described = panel.getAttribute('aria-describedby');
        panel.setAttribute('aria-describedby', described ? `${described} ${id}` : id);
      }
      return [element];
    }),
  button: (window, idAt, idSize, captionAt, captionSize, cssAt, cssSize, tabStop) =>
    control(window, idAt, idSize, cssAt, cssSize, () => {
      const element = makeButton(text(captionAt, captionSize));
      if (!tabStop) element.tabIndex = -1;
      return [element];
    }),
  list: (window, idAt, idSize, textAt, textSize, cssAt, cssSize, readOnly, tabStop) =>
    control(window, idAt, idSize, cssAt, cssSize, (id) => {
      const box = document.createElement('div');
      box.classList.add('combo');
      box.id = `${id}-box`;
      return [input(textAt, textSize, readOnly, tabStop), box];
    }),
  field: (window, idAt, idSize, textAt, textSize, cssAt, cssSize, readOnly, tabStop) =>
    control(window, idAt, idSize, cssAt, cssSize, () => [input(textAt, textSize, readOnly, tabStop)]),

  // A list taken over from the page keeps the items it holds where they match.
  list_clear(list) {
    const combo = combos.get(nodes[list]);
    if (startup.heldByPage(nodes[list])) combo.refill();
    else combo.clear();
  },
  list_add: (list, at, size, place) => combos.get(nodes[list]).add(text(at, size), place),
  list_select(list, place) {
    if (!startup.editedByUser(nodes[list])) combos.get(nodes[list]).select(place);
  },

  text_size(control) {
    stash = encoder.encode(nodes[control].value);
    return stash.length;
  },
  text_read: (into) => new Uint8Array(program.memory.buffer, into, stash.length).set(stash),
  text_write(control, at, size) {
    const field = nodes[control];
    if (startup.editedByUser(field)) return;
    field.value = text(at, size);
  },
  announce(control) {
    if (startup.state === 'ready') say(nodes[control]);
  },

  // Its access key is announced only where it does something.
  button_acts(button) {
    const key = nodes[button].dataset.accessKey;
    if (key) nodes[button].setAttribute('aria-keyshortcuts', `Alt+${key.toUpperCase()}`);
  },

  // The browser's Back is the close control of a window shown over the first one: while
  // shown, such a window is a history entry of its own, which Back leaves as its close
  // control would. The first window's Back leaves the page, as on any page.
  window_closes(window) {
    closable.add(nodes[window]);
  },

  visible(window, visible) {
    const panel = nodes[window];
    const shownWindow = windows.get(panel);
    // A window that holds the focus is hidden from the eye at once, but from assistive
    // technology only a moment after the window shown in its place has taken the focus: a
    // screen reader hears the switch from the control it was on to the new one, with the new
    // window's title and text, where it hears nothing once the control it was on is gone.
    // Orca looks at that control when it takes the focus change, which on a busy machine can
    // be a good part of a second later.
    const going = !visible && panel.contains(document.activeElement);
    panel.hidden = !visible;
    panel.classList.toggle('going', going); // hidden, but drawn out of sight (style.css)
    if (going) setTimeout(() => panel.hidden && panel.classList.remove('going'), keptForAssistiveTechnology);
    first ??= visible ? panel : null;
    const entry = history.state?.window;
    if (!visible) {
      if (entry === panel.id && panel !== first) {
        leaving = true; // closed by the program: its entry goes, as Back would have done
        // Once the focus has moved and the browser has drawn it: Chromium tells assistive
        // technology of no focus change that a move in the history follows at once.
        afterFrame(() => history.back());
      }
      return;
    }
    // What opened it opens it again when Forward, or a reload, comes back to its entry.
    if (panel !== first && closable.has(panel) && entry !== panel.id)
      history.pushState({ window: panel.id, openedBy: clicked?.id }, '');
    // The tab and the history name the program too, where a window's title does not.
    const name = windows.get(first)?.title;
    document.title = panel === first || !name ? shownWindow.title : `${shownWindow.title} – ${name}`;
    if (panel.contains(document.activeElement)) return; // where the user already is
    const focus = panel.contains(shownWindow.focus) ? shownWindow.focus : focusable(panel)[0];
    focus?.focus();
  },

  // A modal message titled like the window, closed with OK or Escape.
  warn(window, at, size) {
    const dialog = document.createElement('dialog');
    dialog.className = 'warning';
    dialog.id = `warning-${++warnings}`;
    const heading = document.createElement('h1');
    heading.id = `${dialog.id}-title`;
    heading.textContent = windows.get(nodes[window]).title;
    const message = document.createElement('p');
    message.id = `${dialog.id}-text`;
    message.textContent = text(at, size);
    dialog.setAttribute('role', 'alertdialog');
    const ok = document.createElement('button');
    ok.type = 'button';
    ok.textContent = 'OK';
    ok.addEventListener('click', () => dialog.close());
    dialog.setAttribute('aria-labelledby', heading.id);
    dialog.setAttribute('aria-describedby', message.id);
    dialog.append(heading, message, ok);
    dialog.addEventListener('close', () => dialog.remove());
    // OK stays the default button, as in a message box: a click elsewhere leaves it the focus.
    dialog.addEventListener('mousedown', (e) => e.target !== ok && e.preventDefault());
    document.body.append(dialog);
    dialog.showModal();
    ok.focus();
  },

  // Every window goes and nothing more is handled. A tab the page did not open stays open
  // (only an installed app's window, or one a script opened, may be closed), so the page
  // says that the program has ended, in its line and its title: the line's link takes the
  // focus, described by the line, so that both are read out.
  end() {
    startup.end();
    const name = windows.get(first)?.title;
    for (const panel of windows.keys()) panel.remove();
    document.querySelectorAll('dialog').forEach((dialog) => dialog.remove());
    if (window.opener || matchMedia('(display-mode: standalone)').matches) window.close();
    const line = document.getElementById('ended');
    const words = line.querySelector('.why')?.textContent.replace(/\.$/, '');
    if (words) document.title = name ? `${words} – ${name}` : words;
    line.hidden = false;
    line.querySelector('a').focus();
  },
};

// A field the program tells the user of, which the focus need not reach: each text the
// program announces there is said once, politely, by the page's live region, with the
// field's caption, also where it is the same text again. A screen reader passes over a text
// that is the same as the last it was given (Orca does, even where the region was emptied
// in between), so every other text ends in a zero-width space, which is not heard.
let odd = false;
function say(field) {
  const region = document.getElementById('said');
  if (!region) return;
  const caption = document.querySelector(`label[for="${field.id}"]`)?.textContent;
  odd = !odd;
  region.textContent = `${caption ? `${caption}: ` : ''}${field.value}${odd ? '\u200b' : ''}`;
}

// Back from a window shown over the first: the program closes it, as its close control.
// Forward to the entry of a window that was closed, by Back or by the window's own controls:
// what opened it opens it again, so that every entry shows what it stands for.
function moved() {
  if (leaving) return void (leaving = false);
  const panel = shown();
  const entry = history.state?.window;
  if (panel && panel !== first && closable.has(panel) && entry !== panel.id)
    notify(panel, (id) => program.ui_close(id));
  else if (entry && entry !== panel?.id) reopen();
}

// The entry's window is opened again by a click on the button that opened it, where that is
// shown and nothing modal is open; otherwise the entry is left for the one before it, so
// that Back from there still shows a change.
function reopen() {
  const opener = document.getElementById(history.state.openedBy ?? '');
  if (opener && shown()?.contains(opener) && !document.querySelector('dialog[open]')) return click(opener);
  leaving = true;
  history.back();
}

// Takes over the windows the page's HTML holds, so that they work before the program is
// ready: typing, Tab, the lists; what the buttons are asked meanwhile waits for it. The
// presses and access keys that came before are dispatched again.
export function takeOver(early = []) {
  for (const panel of document.querySelectorAll('section.window')) {
    startup.taken.add(panel);
    addWindow(panel, panel.querySelector('h1')?.textContent ?? '');
    for (const element of panel.querySelectorAll('.client > .control:not(.combo), .combo > input')) {
      startup.taken.add(element);
      wire(element);
    }
  }
  takeKeys(() => startup.state !== 'ended' && shown());
  addEventListener('popstate', moved);
  startup.replay(early);
}

// The few WASI calls a C++ program's library makes: no arguments, output to the console,
// and "not supported" for the rest.
function wasi() {
  const view = () => new DataView(program.memory.buffer);
  const lines = { 1: '', 2: '' };
  const calls = {
    args_sizes_get(count, size) {
      view().setUint32(count, 0, true);
      view().setUint32(size, 0, true);
      return 0;
    },
    args_get: () => 0,
    fd_write(fd, iovs, count, written) {
      let total = 0;
      for (let i = 0; i < count; i++) {
        const at = view().getUint32(iovs + i * 8, true);
        const size = view().getUint32(iovs + i * 8 + 4, true);
        lines[fd] = (lines[fd] ?? '') + decoder.decode(new Uint8Array(program.memory.buffer, at, size));
        total += size;
      }
      view().setUint32(written, total, true);
      const line = lines[fd].split('\n');
      lines[fd] = line.pop();
      line.forEach((l) => (fd === 2 ? console.error(l) : console.log(l)));
      return 0;
    },
    proc_exit(status) {
      throw new Error(`the program exited with status ${status}`);
    },
  };
  return new Proxy(calls, { get: (target, name) => target[name] ?? (() => 52) }); // ENOSYS
}

// The imports the program is instantiated with.
export const imports = { page, wasi_snapshot_preview1: wasi() };

// The program is instantiated: its start-up may begin.
export function starting(exports, failure) {
  program = exports;
  onFailure = failure;
  startup.starting();
}

// Its start-up has returned: the lists settle, and what was asked meanwhile is handled.
export function ready() {
  for (const input of document.querySelectorAll('[role="combobox"]')) combos.get(input)?.settle();
  startup.ready();
  // A reload on a window's entry shows that window again.
  if (history.state?.window && history.state.window !== shown()?.id) reopen();
}
