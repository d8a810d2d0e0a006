// The page's start-up, from the windows its HTML holds to the program running them. States:
//   loading   the program downloads; the page has taken over the windows its HTML holds,
//             which take typing, Tab and the lists; what the buttons are asked waits.
//   starting  the program is instantiated and its start-up runs: it finds its windows in
//             the page, where texts the user has edited stay and lists keep their items;
//             what the buttons are asked still waits.
//   ready     its start-up has returned: what waited is handled, as the user did it, and
//             whatever comes next at once.
//   failed    it could not be loaded: nothing goes to it, and it may be loaded again in
//             place, where what was typed stays.
//   stopped   it has failed since it was instantiated: nothing more goes to it, and only the
//             page loaded again starts it again.
//   ended     it has ended: nothing more is handled.
// What moves between them:
//   loading  → starting  starting(): the program is instantiated
//   starting → ready     ready(): its start-up has returned
//   starting, ready → ended   end(): the program ends
//   loading  → failed    stop(): it cannot be loaded
//   any other → stopped  stop(): it has failed since it was instantiated
//   failed   → loading   restart(): it is to be loaded again, in place

export let state = 'loading';
const waiting = []; // what came while loading or starting: [element, send]

// Elements the page's HTML held, taken over before the program asked for them.
export const taken = new WeakSet();

// While the program starts, an element the page's HTML held, which its start-up finds.
export const heldByPage = (element) => state === 'starting' && taken.has(element);
// ... and a text of one the user has changed since, which its start-up leaves as it is.
export const editedByUser = (input) => heldByPage(input) && input.value !== input.defaultValue;

// Sends a notification to the program when ready, or keeps it until the program is.
export function notify(element, send) {
  if (state === 'loading' || state === 'starting') waiting.push([element, send]);
  else if (state === 'ready') send();
}

// The presses and access keys that came before the page's modules were there, dispatched
// again now that the buttons answer. Everything else the browser did already (typing, Tab),
// or would do wrong now, after the texts it read have changed (a list's keys).
export function replay(early) {
  const meantForButtons = (e) =>
    e.type === 'keydown' ? e.altKey : e.target.isConnected && e.target.closest?.('button.control') !== null;
  for (const e of early) if (meantForButtons(e)) e.target.dispatchEvent(new e.constructor(e.type, e));
}

export function starting() {
  state = 'starting';
}

// What was asked meanwhile is handled, but never on a window that is no longer shown, nor
// behind a warning, which would have taken those presses.
export function ready() {
  if (state !== 'starting') return;
  state = 'ready';
  document.documentElement.classList.add('ready');
  for (const [element, send] of waiting.splice(0))
    if (!element.closest('.window')?.hidden && !document.querySelector('dialog[open]')) notify(element, send);
}

export function end() {
  state = 'ended';
}

// Once instantiated, the program is never loaded again in place.
export function stop() {
  state = state === 'loading' || state === 'failed' ? 'failed' : 'stopped';
  waiting.length = 0;
}

// What is asked meanwhile waits for it, as at first. Whether it is loaded again in place.
export function restart() {
  if (state !== 'failed') return false;
  state = 'loading';
  return true;
}
