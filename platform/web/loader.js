// The page's loader, its entry: it loads the page's modules and the program, compiled to
// WebAssembly, that runs the windows through them. The page's HTML already shows the first
// window as the program makes it; the page's modules take it over as soon as they are
// there, so that it can be used while the program downloads; then the program starts and
// finds its window there. Where the program cannot be loaded or started, the page says so.
//
// It is a classic script, deferred, so that it runs as soon as the page's HTML and stylesheet
// are there, which is when the window first paints: from then on whatever the user does is
// seen, and kept until the page's modules are there to do it again. The page's files are
// few, because a phone's browser fetches at most six at a time from an HTTP/1.1 server, and
// one more would wait a whole round trip.
'use strict';

// In a block of its own: a classic script's names would otherwise be the page's.
{
  // Framed by a page of another origin, which could lay its own clicks over the window: a
  // host's headers forbid that, and where a host sent none, the page shows only a line that
  // says so, with a link that opens it in a tab of its own, and starts nothing.
  const framed = (() => {
    for (let frame = window; frame !== frame.parent; frame = frame.parent) {
      try {
        if (frame.parent.location.origin !== location.origin) return true;
      } catch {
        return true; // another origin's page, which no script here may read
      }
    }
    return false;
  })();

  // Whether the user has begun: a press or a key, from the first paint on.
  let begun = false;
  for (const kind of ['pointerdown', 'keydown']) addEventListener(kind, () => (begun = true), true);

  // After the first visit the page works with no network: its service worker keeps every file.
  // It is registered once the page has loaded, so that its copying never slows the first start.
  // A newer version found on an earlier visit waits until no page of the site is open; where
  // this page is the only one, and the user has not begun, it takes over and the page loads
  // again, so that one reload brings it. With other pages open, they keep theirs.
  if ('serviceWorker' in navigator && !framed) {
    window.addEventListener('load', async () => {
      const registration = await navigator.serviceWorker.register('sw.js');
      if (!registration.waiting || !navigator.serviceWorker.controller || begun) return;
      navigator.serviceWorker.addEventListener('controllerchange', () => begun || location.reload(), { once: true });
      // A moment after the load, once the requests that follow it are answered: in Chromium, a
      // takeover that the older worker's answering one of them interrupts can stall.
      setTimeout(() => begun || registration.waiting?.postMessage('take over if alone'), 1000);
    });
  }

  // A minimum font size set in the browser makes small text larger than its box: the whole
  // window is drawn larger instead, until its smallest text is that size. Measured once the
  // window has painted, which the measuring would hold, and again as the screen turns,
  // since the window's scale follows its width.
  const grow = () => {
    const root = document.documentElement.style;
    root.removeProperty('--grow');
    const probe = document.body.appendChild(document.createElement('span'));
    probe.className = 'probe';
    const least = parseFloat(getComputedStyle(probe).fontSize);
    probe.remove();
    if (!(least > 1)) return; // no minimum font size
    const sizes = [...document.querySelectorAll('.window .client, .window .control')].map((e) => {
      const style = getComputedStyle(e);
      return parseFloat(style.getPropertyValue('--size')) * parseFloat(style.getPropertyValue('--px'));
    }).filter((size) => size > 0);
    const smallest = Math.min(...sizes);
    if (smallest < least) root.setProperty('--grow', String(least / smallest));
  };
  // A caption or a button that needs more room than designed (a user's own text spacing, a
  // font wider than the designed one) grows under the stylesheet's rule; what lies under it
  // moves down by as much, rows together, and the window grows, so that nothing covers a
  // control. A control lies under another where it begins below the other's middle.
  const fit = (client) => {
    const px = parseFloat(getComputedStyle(client).getPropertyValue('--px'));
    if (!(px > 0)) return;
    const boxes = [...client.children].filter((e) => e.matches('.control')).map((e) => {
      const style = getComputedStyle(e);
      const top = parseFloat(style.getPropertyValue('--top')) || 0;
      const height = parseFloat(style.getPropertyValue('--height')) || 0;
      const need = e.getBoundingClientRect().height / px;
      return { e, top, height, more: need - height > 0.01 ? need - height : 0, shift: 0 };
    }).sort((a, b) => a.top - b.top);
    let grown = 0;
    for (const box of boxes) {
      for (const above of boxes)
        if (above.top + above.height / 2 < box.top) box.shift = Math.max(box.shift, above.shift + above.more);
      grown = Math.max(grown, box.shift + box.more);
      if (box.shift) box.e.style.setProperty('--shift', String(box.shift));
      else box.e.style.removeProperty('--shift');
    }
    if (grown) client.style.setProperty('--grown', String(grown));
    else client.style.removeProperty('--grown');
  };
  // Each caption and button is watched from when it is there; the program makes windows
  // later too.
  if ('ResizeObserver' in window) {
    const growing = new ResizeObserver((entries) =>
      new Set(entries.map((entry) => entry.target.closest('.client'))).forEach((client) => client && fit(client)));
    const watch = (root) => root.querySelectorAll?.('.label, button.control').forEach((e) => growing.observe(e));
    watch(document);
    new MutationObserver((changes) => changes.forEach((change) => change.addedNodes.forEach((node) => {
      if (node.matches?.('.label, button.control')) growing.observe(node);
      else watch(node);
    }))).observe(document.querySelector('main') ?? document.body, { childList: true, subtree: true });
  }

  // Installed and opened in a window of its own, the app's window takes the calculator's
  // size, as a desktop program's window has, where the browser lets a page size its window;
  // elsewhere the stylesheet centres the calculator in it.
  const size = () => {
    const box = document.querySelector('section.window:not([hidden])')?.getBoundingClientRect();
    if (box && matchMedia('(display-mode: standalone)').matches)
      resizeTo(Math.ceil(box.width) + outerWidth - innerWidth, Math.ceil(box.height) + outerHeight - innerHeight);
  };

  let width = innerWidth; // a phone's toolbars coming and going change only the height
  addEventListener('resize', () => width !== innerWidth && ((width = innerWidth), grow()));

  // Busy until the program is there, for assistive technology and, through the stylesheet,
  // for the eye.
  const main = document.querySelector('main');
  main?.setAttribute('aria-busy', 'true');

  // A download that stops is given up after 15 seconds without a byte: long enough for a slow
  // phone network's gaps, a handover between cells or a lost packet resent after TCP's
  // backoff of 1, 2, 4 and 8 seconds; by then a user waiting on a press has long lost the
  // thread, and a connection that has said nothing for so long has seldom more to say. The
  // page then says so, with its link that tries again.
  const stall = 15000;
  let abandon, stalled, watchdog; // each try's
  const watch = () => {
    abandon = new AbortController();
    stalled = new Promise((resolve, reject) =>
      abandon.signal.addEventListener('abort', () => reject(new Failure('its program could not be downloaded'))));
    stalled.catch(() => {});
  };
  const progress = () => {
    clearTimeout(watchdog);
    const giveUp = abandon;
    watchdog = setTimeout(() => giveUp.abort(), stall);
  };
  watch();

  const early = [];
  const keep = (e) => (e.type !== 'pointermove' || e.button >= 0) && early.push(e);
  const kinds = ['pointerdown', 'pointermove', 'pointerup', 'pointercancel', 'click', 'keydown'];
  for (const kind of kinds) addEventListener(kind, keep, true);

  let page;

  // Why the program could not start, in words for the page's line.
  class Failure extends Error {
    constructor(why) {
      super(`The calculator could not start: ${why}.`);
    }
  }

  // Compiled while it downloads where the server sends it as application/wasm; from its bytes
  // where the server sends another type, which streaming compilation refuses. Each piece
  // that arrives is progress, seen on a copy of the download, so that the browser compiles
  // the download itself and may keep what it compiled for the next visit.
  async function instantiate(url, imports) {
    let response;
    try {
      response = await fetch(url, { signal: abandon.signal });
    } catch {
      throw new Failure('its program could not be downloaded');
    }
    if (!response.ok) throw new Failure(`its program could not be downloaded (${response.status})`);
    progress();
    const pieces = response.clone().body.getReader();
    (async () => {
      while (!(await pieces.read()).done) progress();
    })().catch(() => {});
    try {
      if (response.headers.get('content-type')?.split(';')[0].trim() === 'application/wasm')
        return (await WebAssembly.instantiateStreaming(response, imports)).instance;
      return (await WebAssembly.instantiate(await response.arrayBuffer(), imports)).instance;
    } catch (error) {
      if (abandon.signal.aborted) throw new Failure('its program could not be downloaded');
      throw error;
    }
  }

  // The page says why in one line, with a link that tries again, which a screen reader reads
  // out at once (role="alert"); the windows stay as the user left them, inert. Where the
  // program never started, the link tries again in place, so that what was typed stays;
  // otherwise it loads the page again.
  const line = document.getElementById('failed');
  function failed(sentence) {
    clearTimeout(watchdog);
    main?.removeAttribute('aria-busy');
    page?.stop();
    for (const panel of document.querySelectorAll('section.window')) panel.inert = true;
    document.documentElement.classList.add('failed');
    line.querySelector('.why').textContent = sentence;
    line.hidden = false;
  }
  line?.querySelector('a').addEventListener('click', (e) => {
    if (!page?.restart()) return; // the page loads again
    e.preventDefault();
    line.hidden = true;
    document.documentElement.classList.remove('failed');
    for (const panel of document.querySelectorAll('section.window')) panel.inert = false;
    document.querySelector('section.window:not([hidden]) input:not([tabindex="-1"])')?.focus();
    main?.setAttribute('aria-busy', 'true');
    watch();
    progress();
    load();
  });

  async function start() {
    // The first paint before the modules' work, which would hold it; a tab in the background
    // paints nothing and gets no animation frames, so a timer stands in there.
    await new Promise((done) => {
      requestAnimationFrame(() => setTimeout(done));
      setTimeout(done, 100);
    });
    grow();
    size();
    progress();
    try {
      page = await Promise.race([import('./page.js'), stalled]);
    } catch (error) {
      if (!(error instanceof Failure)) console.error(error);
    }
    progress();
    for (const kind of kinds) removeEventListener(kind, keep, true);
    page?.takeOver(early);
    load();
  }

  // The program: downloaded, compiled and started.
  async function load() {
    try {
      if (!page) throw new Failure('its page could not be downloaded');
      if (typeof WebAssembly !== 'object') throw new Failure('this browser runs no WebAssembly');
      const url = document.querySelector('link[rel=preload][type="application/wasm"]').href;
      const instance = await Promise.race([instantiate(url, page.imports), stalled]);
      clearTimeout(watchdog);
      page.starting(instance.exports, (error) => {
        console.error(error);
        failed('The calculator stopped with an error.');
      });
      instance.exports._initialize();
      instance.exports.__main_void();
      page.ready();
      main?.removeAttribute('aria-busy');
    } catch (error) {
      if (!(error instanceof Failure)) console.error(error);
      failed(error instanceof Failure ? error.message
        : 'The calculator could not start: it stopped with an error while starting.');
    }
  }

  if (framed) {
    for (const kind of kinds) removeEventListener(kind, keep, true);
    main?.removeAttribute('aria-busy');
    if (main) main.hidden = true;
    document.getElementById('framed').hidden = false;
  } else {
    start();
  }
}
