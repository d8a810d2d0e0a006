// The browser's window system for a program compiled to WebAssembly. The program asks for
// windows and controls by kind, caption and place (the imports under "page"); this module
// makes them as elements, keeps their texts and lists, and hands their notifications back
// to the program's exports. It knows control kinds, not any program's controls.

const encoder = new TextEncoder();
const decoder = new TextDecoder();
const desktop = document.querySelector('main') ?? document.body;

let memory; // the program's memory, read anew on every call: it may have grown
let program; // the program's exports
let ended = false;
let stash = new Uint8Array(0); // a text between text_size and text_read
const nodes = [null]; // page ids: windows and controls, from 1
const windows = new Map(); // panel → { title, client, focus }
const combos = new WeakMap(); // a list's text box → its Combo
let nextId = 0;

// As the program numbers them: design::Kind, and page::Flags.
const Kind = { label: 0, button: 1, list: 2, field: 3 };
const Flag = { readOnly: 1, noTabStop: 2 };

const text = (at, size) => decoder.decode(new Uint8Array(memory.buffer, at, size));
const keep = (node) => nodes.push(node) - 1;
const shown = () => [...windows.keys()].find((panel) => !panel.hidden);
const focusable = (panel) =>
  [...panel.querySelectorAll('input, button')].filter((e) => e.tabIndex >= 0);

// The mouse buttons as the program numbers them (left 1, right 2, middle 4), which is also
// the order of PointerEvent.buttons; PointerEvent.button counts left 0, middle 1, right 2.
const buttonBit = (button) => [1, 4, 2][button] ?? 0;
const shiftState = (e) => (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0);

// An editable drop-down list after the ARIA combobox pattern: a text box the user may type
// into, a button that drops the list, and the list, chosen by mouse or by arrow keys.
class Combo {
  constructor(input, wrapper) {
    this.input = input;
    this.list = document.createElement('ul');
    this.list.role = 'listbox';
    this.list.id = `${input.id}-list`;
    this.list.hidden = true;
    this.list.tabIndex = -1;
    const drop = document.createElement('button');
    drop.type = 'button';
    drop.tabIndex = -1;
    drop.className = 'drop';
    drop.setAttribute('aria-label', 'Show the list');
    drop.setAttribute('aria-controls', this.list.id);
    input.role = 'combobox';
    input.setAttribute('aria-autocomplete', 'none');
    input.setAttribute('aria-controls', this.list.id);
    input.setAttribute('aria-expanded', 'false');
    this.active = -1;
    wrapper.append(input, drop, this.list);

    drop.addEventListener('mousedown', (e) => e.preventDefault()); // the text box keeps the keys
    drop.addEventListener('click', () => {
      input.focus();
      this.list.hidden ? this.open() : this.close();
    });
    this.list.addEventListener('mousedown', (e) => e.preventDefault());
    this.list.addEventListener('click', (e) => {
      const item = e.target.closest('li');
      if (item) this.pick([...this.list.children].indexOf(item));
    });
    input.addEventListener('blur', () => this.close());
    input.addEventListener('keydown', (e) => this.key(e));
  }

  get items() {
    return [...this.list.children];
  }

  clear() {
    this.list.replaceChildren();
  }

  add(item, place) {
    const option = document.createElement('li');
    option.role = 'option';
    option.id = `${this.input.id}-${nextId++}`;
    option.textContent = item;
    option.setAttribute('aria-selected', 'false');
    this.list.insertBefore(option, this.list.children[place] ?? null);
  }

  select(place) {
    const item = this.items[place];
    if (!item) return;
    for (const option of this.items) option.setAttribute('aria-selected', String(option === item));
    this.input.value = item.textContent;
  }

  open() {
    if (!this.items.length) return;
    this.list.hidden = false;
    this.input.setAttribute('aria-expanded', 'true');
    const current = this.items.findIndex((item) => item.textContent === this.input.value);
    this.activate(Math.max(current, 0));
  }

  close() {
    this.list.hidden = true;
    this.input.setAttribute('aria-expanded', 'false');
    this.input.removeAttribute('aria-activedescendant');
    this.active = -1;
  }

  activate(place) {
    const items = this.items;
    this.active = Math.min(Math.max(place, 0), items.length - 1);
    items.forEach((item, i) => item.classList.toggle('active', i === this.active));
    this.input.setAttribute('aria-activedescendant', items[this.active].id);
    items[this.active].scrollIntoView({ block: 'nearest' });
  }

  pick(place) {
    this.select(place);
    this.close();
  }

  key(e) {
    const open = !this.list.hidden;
    const handled = {
      ArrowDown: () => (!open ? this.open() : e.altKey ? null : this.activate(this.active + 1)),
      ArrowUp: () => (!open ? this.open() : e.altKey ? this.close() : this.activate(this.active - 1)),
      PageDown: () => open && this.activate(this.active + 8),
      PageUp: () => open && this.activate(this.active - 8),
      Enter: () => open && this.pick(this.active),
      Escape: () => open && this.close(),
      F4: () => (open ? this.close() : this.open()),
    }[e.key];
    // Escape and Enter on a closed list are the page's; everything else here is the list's.
    if (!handled || (!open && (e.key === 'Enter' || e.key === 'Escape'))) return;
    handled();
    e.preventDefault();
    e.stopPropagation();
  }
}

// A push button: its click, and the release of any mouse button pressed on it, wherever the
// pointer is by then (the button captures the pointer), and the end of a tap.
function makeButton(id, caption) {
  const button = document.createElement('button');
  button.type = 'button';
  const mark = caption.indexOf('&');
  if (mark >= 0 && mark + 1 < caption.length) {
    const key = caption[mark + 1];
    const underlined = document.createElement('u');
    underlined.textContent = key;
    button.append(caption.slice(0, mark), underlined, caption.slice(mark + 2));
    button.dataset.accessKey = key.toLowerCase();
    button.setAttribute('aria-keyshortcuts', `Alt+${key.toUpperCase()}`);
  } else {
    button.textContent = caption;
  }

  let pressed = 0;
  const press = (e) => {
    pressed |= buttonBit(e.button);
    button.setPointerCapture(e.pointerId);
  };
  const release = (e) => {
    const bit = buttonBit(e.button);
    if (!(pressed & bit) || ended) return;
    pressed &= ~bit;
    const box = button.getBoundingClientRect();
    program.ui_mouse_up(id, bit, shiftState(e), Math.round(e.clientX - box.left),
      Math.round(e.clientY - box.top));
  };
  button.addEventListener('pointerdown', press);
  button.addEventListener('pointerup', release);
  // A second mouse button pressed or released while one is held comes as a move.
  button.addEventListener('pointermove', (e) => {
    if (e.button < 0) return;
    e.buttons & buttonBit(e.button) ? press(e) : release(e);
  });
  button.addEventListener('pointercancel', () => (pressed = 0));
  button.addEventListener('lostpointercapture', () => (pressed = 0));
  // The right and middle buttons belong to the button, not to a menu, to scrolling or to
  // pasting the selection into the field that has the focus.
  button.addEventListener('contextmenu', (e) => e.preventDefault());
  for (const type of ['mousedown', 'mouseup', 'auxclick'])
    button.addEventListener(type, (e) => e.button === 1 && e.preventDefault());
  button.addEventListener('click', () => ended || program.ui_click(id));
  return button;
}

const page = {
  window(idAt, idSize, titleAt, titleSize, cssAt, cssSize) {
    const panel = document.createElement('section');
    panel.className = 'window';
    panel.id = text(idAt, idSize);
    panel.hidden = true;
    const title = text(titleAt, titleSize);
    const heading = document.createElement('h1');
    heading.id = `${panel.id}-title`;
    heading.textContent = title;
    panel.setAttribute('aria-labelledby', heading.id);
    const client = document.createElement('div');
    client.className = 'client';
    client.style.cssText = text(cssAt, cssSize);
    panel.append(heading, client);
    const state = { title, client, focus: null };
    panel.addEventListener('focusin', (e) => (state.focus = e.target));
    windows.set(panel, state);
    desktop.append(panel);
    return keep(panel);
  },

  control(window, kind, idAt, idSize, captionAt, captionSize, cssAt, cssSize, flags, forAt, forSize) {
    const id = nodes.length;
    const name = text(idAt, idSize);
    const caption = text(captionAt, captionSize);
    let element, box;
    if (kind === Kind.button) {
      element = box = makeButton(id, caption);
    } else if (kind === Kind.label) {
      element = box = document.createElement(forSize ? 'label' : 'div');
      if (forSize) element.htmlFor = text(forAt, forSize);
      element.textContent = caption;
      element.classList.add('label');
    } else {
      element = document.createElement('input');
      element.type = 'text';
      element.maxLength = 32767; // as a desktop text box
      element.spellcheck = false;
      element.autocomplete = 'off';
      element.readOnly = Boolean(flags & Flag.readOnly);
      if (flags & Flag.noTabStop) element.tabIndex = -1;
      element.value = caption;
      box = element;
      if (kind === Kind.list) {
        element.id = name; // before the list's parts take their ids from it
        box = document.createElement('div');
        box.classList.add('combo');
        combos.set(element, new Combo(element, box));
      }
    }
    element.id = name;
    box.classList.add('control');
    box.style.cssText = cssAt ? text(cssAt, cssSize) : '';
    windows.get(nodes[window]).client.append(box);
    return keep(element);
  },

  list_clear: (list) => combos.get(nodes[list]).clear(),
  list_add: (list, at, size, place) => combos.get(nodes[list]).add(text(at, size), place),
  list_select: (list, place) => combos.get(nodes[list]).select(place),

  text_size(control) {
    stash = encoder.encode(nodes[control].value);
    return stash.length;
  },
  text_read: (into) => new Uint8Array(memory.buffer, into, stash.length).set(stash),
  text_write(control, at, size) {
    nodes[control].value = text(at, size);
  },

  visible(window, visible) {
    const panel = nodes[window];
    const state = windows.get(panel);
    panel.hidden = !visible;
    if (!visible) return;
    document.title = state.title;
    const focus = panel.contains(state.focus) ? state.focus : focusable(panel)[0];
    focus?.focus();
  },

  // A modal message titled like the window, closed with OK or Escape.
  warn(window, at, size) {
    const dialog = document.createElement('dialog');
    dialog.className = 'warning';
    dialog.id = `warning-${nextId++}`;
    const heading = document.createElement('h1');
    heading.id = `${dialog.id}-title`;
    heading.textContent = windows.get(nodes[window]).title;
    const message = document.createElement('p');
    message.id = `${dialog.id}-text`;
    message.textContent = text(at, size);
    const ok = document.createElement('button');
    ok.type = 'button';
    ok.textContent = 'OK';
    ok.addEventListener('click', () => dialog.close());
    dialog.setAttribute('aria-labelledby', heading.id);
    dialog.setAttribute('aria-describedby', message.id);
    dialog.append(heading, message, ok);
    dialog.addEventListener('close', () => dialog.remove());
    document.body.append(dialog);
    dialog.showModal();
    ok.focus();
  },

  // Every window goes and nothing more is handled. A tab the page did not open stays open,
  // so the page says that the program has ended (its element with the id "ended").
  end() {
    ended = true;
    for (const panel of windows.keys()) panel.remove();
    document.querySelectorAll('dialog').forEach((dialog) => dialog.remove());
    window.close();
    document.getElementById('ended')?.removeAttribute('hidden');
  },
};

// Keys the page takes from the browser: Alt and a button's underlined letter raise its
// click, and Tab goes round the shown window's controls as in a desktop window.
document.addEventListener(
  'keydown',
  (e) => {
    const panel = shown();
    if (ended || !panel || document.querySelector('dialog[open]')) return;
    if (e.altKey && !e.ctrlKey && !e.metaKey && e.code.startsWith('Key')) {
      const key = e.code.slice(3).toLowerCase();
      const button = panel.querySelector(`button[data-access-key="${key}"]`);
      if (!button) return;
      e.preventDefault();
      e.stopPropagation();
      button.click();
    } else if (e.key === 'Tab' && !e.altKey && !e.ctrlKey && !e.metaKey) {
      const stops = focusable(panel);
      const at = stops.indexOf(document.activeElement);
      if (at < 0) return; // from a control outside the Tab order, the browser's own order
      e.preventDefault();
      stops[(at + (e.shiftKey ? stops.length - 1 : 1)) % stops.length].focus();
    }
  },
  true,
);

// The few WASI calls a C++ program's library makes: no arguments, output to the console,
// and "not supported" for the rest.
function wasi() {
  const view = () => new DataView(memory.buffer);
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
        lines[fd] = (lines[fd] ?? '') + text(at, size);
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

// Starts the program the page preloads as application/wasm.
const url = document.querySelector('link[rel=preload][type="application/wasm"]').href;
const { instance } = await WebAssembly.instantiateStreaming(fetch(url), {
  page,
  wasi_snapshot_preview1: wasi(),
});
memory = instance.exports.memory;
program = instance.exports;
program._initialize();
program.__main_void();
