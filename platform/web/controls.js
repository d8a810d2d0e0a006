// The two controls with behaviour of their own, in one module so that the page's files stay
// six (see loader.js): a push button and an editable drop-down list; and the keys the page
// takes for them.

// A push button, as a desktop's behaves. Its click needs the press and the release both on
// it, so that dragging off takes a press back; the keyboard and assistive technology click
// it too. Its mouse-up comes on the release of any mouse button pressed on it, wherever the
// pointer is by then (the button captures the pointer), and at the end of a tap. Neither
// comes while a modal message is open, nor for a press that is the second half of a
// double-click on the button that brought its window up.

// The mouse buttons as the program numbers them (left 1, right 2, middle 4), which is also
// the order of PointerEvent.buttons; PointerEvent.button counts left 0, middle 1, right 2.
const buttonBit = (button) => [1, 4, 2][button] ?? 0;
const shiftState = (e) => (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0);

// A press this soon and this near after a click is a double-click's second half (Windows'
// own defaults, the distance doubled for fingers). Where the first half brought up another
// window, the second was meant for the button that was there before.
const doubleClick = { time: 500, distance: 4, touchDistance: 8 };
let lastClick = { time: -Infinity, x: 0, y: 0, window: null };
const secondHalf = (e, window) =>
  lastClick.window !== window && e.timeStamp - lastClick.time < doubleClick.time &&
  Math.hypot(e.clientX - lastClick.x, e.clientY - lastClick.y) <=
    (e.pointerType === 'touch' ? doubleClick.touchDistance : doubleClick.distance);

// Makes a button with its caption, "&" marking the access key's letter.
export function makeButton(caption) {
  const button = document.createElement('button');
  button.type = 'button';
  const mark = caption.indexOf('&');
  if (mark >= 0 && mark + 1 < caption.length) {
    const key = caption[mark + 1];
    const underlined = document.createElement('u');
    underlined.textContent = key;
    button.append(caption.slice(0, mark), underlined, caption.slice(mark + 2));
    button.dataset.accessKey = key.toLowerCase();
  } else {
    button.textContent = caption;
  }
  return button;
}

// Gives a button its behaviour. `on.click()` and `on.mouseUp(button, shift, x, y)` are its
// notifications, x and y in the window's own pixels; `on.scale()` is the size of one of
// those in CSS pixels.
export function wireButton(button, on) {
  const blocked = () => document.querySelector('dialog[open]') !== null;
  let pressed = 0; // the mouse buttons pressed on the button and not yet released
  let clickFrom = null; // the pointer whose press began a click, if it may still end one

  const press = (e) => {
    if (blocked()) return;
    pressed |= buttonBit(e.button);
    // A press dispatched again once the page is ready may be over by now.
    if (e.isTrusted) button.setPointerCapture(e.pointerId);
  };
  const release = (e) => {
    const bit = buttonBit(e.button);
    if (!(pressed & bit)) return;
    pressed &= ~bit;
    if (blocked()) return;
    const box = button.getBoundingClientRect();
    const scale = on.scale();
    on.mouseUp(bit, shiftState(e), Math.round((e.clientX - box.left) / scale),
      Math.round((e.clientY - box.top) / scale));
  };
  button.addEventListener('pointerdown', (e) => {
    const window = button.closest('.window');
    clickFrom = e.button === 0 && !secondHalf(e, window) ? e.pointerId : null;
    press(e);
  });
  button.addEventListener('pointerup', (e) => {
    if (e.button === 0 && clickFrom === e.pointerId) {
      const box = button.getBoundingClientRect();
      const inside = e.clientX >= box.left && e.clientX < box.right && e.clientY >= box.top &&
        e.clientY < box.bottom;
      if (inside) {
        lastClick = { time: e.timeStamp, x: e.clientX, y: e.clientY, window: button.closest('.window') };
      } else {
        clickFrom = null;
      }
    }
    release(e);
  });
  // A second mouse button pressed or released while one is held comes as a move.
  button.addEventListener('pointermove', (e) => {
    if (e.button < 0) return;
    e.buttons & buttonBit(e.button) ? press(e) : release(e);
  });
  const cancel = () => {
    pressed = 0;
    clickFrom = null;
  };
  button.addEventListener('pointercancel', cancel);
  button.addEventListener('lostpointercapture', () => (pressed = 0));
  // The right and middle buttons belong to the button, not to a menu, to scrolling or to
  // pasting the selection into the field that has the focus.
  button.addEventListener('contextmenu', (e) => e.preventDefault());
  for (const type of ['mousedown', 'mouseup', 'auxclick'])
    button.addEventListener(type, (e) => e.button === 1 && e.preventDefault());
  // A click from the keyboard or assistive technology has no pointer behind it (detail 0);
  // one from a pointer counts only if its press and release were both on the button.
  button.addEventListener('click', (e) => {
    const fromPointer = e.detail > 0 || clickFrom !== null;
    const counts = !fromPointer || clickFrom !== null;
    clickFrom = null;
    if (counts && !blocked()) on.click();
  });
}

// An editable drop-down list after the ARIA combobox pattern: a text box the user may type
// into, a button that drops the list, and the list, chosen by mouse or by arrow keys. As a
// desktop drop-down behaves, the text follows the item the arrows move to, so that leaving
// the list in any way keeps it, and Escape puts back the text from before; typed text is
// never replaced by an item the user did not move to, and the keys of an input method's
// open composition are left to it.

// The list that is dropped, if any. A press anywhere outside it and its box only closes it,
// as a desktop's does: it would otherwise lie over the window, and a press meant for what
// lay under it would pick an item or press a button.
let dropped = null;
let swallowed = null; // the pointer whose press closed a list, until its click
const swallow = (e) => {
  e.preventDefault();
  e.stopImmediatePropagation();
};
document.addEventListener('pointerdown', (e) => {
  swallowed = null;
  if (!dropped || dropped.box.contains(e.target)) return;
  dropped.close();
  swallowed = e.pointerId;
  swallow(e);
}, true);
for (const type of ['pointerup', 'mousedown', 'mouseup', 'click', 'auxclick', 'dblclick', 'contextmenu'])
  document.addEventListener(type, (e) => {
    if (swallowed === null) return;
    swallow(e);
    if (type === 'click' || type === 'auxclick' || type === 'contextmenu') swallowed = null;
  }, true);
document.addEventListener('keydown', () => (swallowed = null), true);

// Made around a text box in its box, or taken over where the page already holds its parts.
export class Combo {
  constructor(input, box) {
    this.input = input;
    this.box = box;
    this.list = box.querySelector('[role="listbox"]');
    let drop = box.querySelector('button.drop');
    if (!this.list) {
      this.list = document.createElement('ul');
      this.list.setAttribute('role', 'listbox');
      this.list.id = `${input.id}-list`;
      this.list.hidden = true;
      this.list.tabIndex = -1;
      drop = document.createElement('button');
      drop.type = 'button';
      drop.tabIndex = -1;
      drop.className = 'drop';
      drop.setAttribute('aria-controls', this.list.id);
      drop.setAttribute('aria-expanded', 'false');
      input.setAttribute('role', 'combobox');
      input.setAttribute('aria-autocomplete', 'none');
      input.setAttribute('aria-controls', this.list.id);
      input.setAttribute('aria-expanded', 'false');
      const label = document.querySelector(`label[for="${input.id}"]`);
      // The list and its button are named by the field's caption, as the field is.
      if (label) {
        this.list.setAttribute('aria-labelledby', label.id);
        drop.setAttribute('aria-labelledby', label.id);
      }
      box.append(input, drop, this.list);
    }
    this.drop = drop;
    this.made = this.items.length; // items are numbered for their ids, never twice
    this.active = -1; // the highlighted item, which Enter takes; -1 once the user types

    drop.addEventListener('mousedown', (e) => e.preventDefault()); // the text box keeps the keys
    // The text box takes the keys, but a finger that drops the list means to pick, not to
    // type: a keyboard raised over the list would hide it. The keyboard comes with a tap
    // on the text box itself.
    let finger = false;
    drop.addEventListener('pointerdown', (e) => (finger = e.pointerType !== 'mouse'));
    const keyboard = input.getAttribute('inputmode');
    const typing = () => (keyboard ? input.setAttribute('inputmode', keyboard) : input.removeAttribute('inputmode'));
    input.addEventListener('pointerdown', typing);
    input.addEventListener('blur', typing);
    drop.addEventListener('click', () => {
      if (finger && document.activeElement !== input) input.setAttribute('inputmode', 'none');
      input.focus();
      this.list.hidden ? this.open() : this.close();
    });
    this.list.addEventListener('mousedown', (e) => e.preventDefault());
    this.list.addEventListener('click', (e) => {
      const item = e.target.closest('li');
      if (item) this.pick(this.items.indexOf(item));
    });
    input.addEventListener('blur', () => this.close());
    input.addEventListener('keydown', (e) => this.key(e));
    input.addEventListener('input', () => {
      this.highlight(-1);
      this.before = input.value; // what the user typed is theirs: Escape keeps it
    });
  }

  get items() {
    return [...this.list.children];
  }

  clear() {
    this.list.replaceChildren();
  }

  // Filled anew with the items the page's HTML already holds: they are kept while the ones
  // added match them, and settle() drops what was not added again.
  refill() {
    this.kept = 0;
  }

  settle() {
    if (this.kept === undefined) return;
    this.items.slice(this.kept).forEach((item) => item.remove());
    delete this.kept;
  }

  add(item, place) {
    if (this.kept !== undefined) {
      if (place === this.kept && this.items[place]?.textContent === item) return void this.kept++;
      this.settle();
    }
    const option = document.createElement('li');
    option.setAttribute('role', 'option');
    option.id = `${this.list.id}-${this.made++}`;
    option.textContent = item;
    option.setAttribute('aria-selected', 'false');
    this.list.insertBefore(option, this.list.children[place] ?? null);
  }

  select(place) {
    const item = this.items[place];
    if (!item) return;
    this.mark(item);
    this.input.value = item.textContent;
  }

  // The one item announced as selected, or none.
  mark(item) {
    for (const option of this.items) option.setAttribute('aria-selected', String(option === item));
  }

  open() {
    if (!this.items.length) return;
    dropped?.close();
    dropped = this;
    this.before = this.input.value;
    this.list.hidden = false;
    this.expanded(true);
    // The item the text is, if any: Enter then keeps the text, typed or picked, as it is.
    this.highlight(this.items.findIndex((item) => item.textContent === this.input.value));
  }

  close() {
    if (dropped === this) dropped = null;
    this.list.hidden = true;
    this.expanded(false);
    this.highlight(-1);
  }

  expanded(open) {
    for (const element of [this.input, this.drop]) element.setAttribute('aria-expanded', String(open));
  }

  // Highlights the item at `place`, or none at -1.
  highlight(place) {
    const items = this.items;
    this.active = place < 0 ? -1 : Math.min(place, items.length - 1);
    const item = items[this.active];
    items.forEach((each) => each.classList.toggle('active', each === item));
    this.mark(item);
    if (!item) return this.input.removeAttribute('aria-activedescendant');
    this.input.setAttribute('aria-activedescendant', item.id);
    item.scrollIntoView?.({ block: 'nearest' });
  }

  // Moves the highlight by `step` items, from the typed text's item where nothing is lit.
  move(step) {
    const from = this.active >= 0 ? this.active
      : this.items.findIndex((item) => item.textContent === this.input.value);
    this.highlight(from < 0 ? 0 : Math.max(from + step, 0));
    this.input.value = this.items[this.active].textContent;
    this.input.select();
  }

  pick(place) {
    this.select(place);
    this.close();
  }

  key(e) {
    if (e.isComposing || e.keyCode === 229) return; // the input method's
    const open = !this.list.hidden;
    const handled = {
      ArrowDown: () => (!open ? this.open() : e.altKey ? null : this.move(1)),
      ArrowUp: () => (!open ? this.open() : e.altKey ? this.close() : this.move(-1)),
      PageDown: () => open && this.move(8),
      PageUp: () => open && this.move(-8),
      Enter: () => (this.active >= 0 ? this.pick(this.active) : this.close()),
      Escape: () => {
        this.input.value = this.before;
        this.close();
      },
      F4: () => (open ? this.close() : this.open()),
    }[e.key];
    // Escape and Enter on a closed list are the page's; everything else here is the list's.
    if (!handled || (!open && (e.key === 'Enter' || e.key === 'Escape'))) return;
    handled();
    e.preventDefault();
    e.stopPropagation();
  }
}

// Keys the page takes from the browser, in the window `shown()` gives, while it gives one:
// Alt and a button's underlined letter raise its click. The letter is the one the keyboard
// layout types; where it types no Latin letter (Cyrillic layouts, the Option key of a Mac),
// the key's place stands in for it. Tab is the browser's: it follows the window's controls
// in their order, then goes on to the browser, as on any page.
// On a phone's keyboard, Enter is the key that says the typing is done ("enterkeyhint"): the
// field lets the focus go, so that the keyboard goes down and Calculate is in view. It comes
// there only where no open list took it.
export function takeKeys(shown) {
  document.addEventListener('keydown', (e) => {
    const panel = shown();
    if (!panel || document.querySelector('dialog[open]')) return;
    if (e.altKey && !e.ctrlKey && !e.metaKey) {
      const letter = /^[a-z]$/i.test(e.key) ? e.key.toLowerCase()
        : e.code.startsWith('Key') ? e.code.slice(3).toLowerCase() : '';
      const button = letter && panel.querySelector(`button[data-access-key="${letter}"]`);
      if (!button) return;
      e.preventDefault();
      e.stopPropagation();
      button.click();
    }
  }, true);
  document.addEventListener('keydown', (e) => {
    if (e.key === 'Enter' && e.target.matches?.('input:not([readonly])') && matchMedia('(pointer: coarse)').matches)
      e.target.blur();
  });
}
