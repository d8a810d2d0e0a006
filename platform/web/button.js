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
