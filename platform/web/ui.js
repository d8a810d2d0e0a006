// The browser's window system for a program compiled to WebAssembly: the page's entry. The
// page's HTML already shows the first window as the program makes it; the page's modules
// take it over as soon as they are there, so that it can be used while the program
// downloads; then the program starts and finds its window there. Where the program cannot be
// loaded or started, the page says so.
//
// It is a classic script, deferred, so that it runs as soon as the page's HTML and stylesheet
// are there, which is when the window first paints: from then on whatever the user does is
// seen, and kept until the page's modules are there to do it again. The page's files are
// few, because a phone's browser fetches at most six at a time from an HTTP/1.1 server, and
// one more would wait a whole round trip.
'use strict';

// In a block of its own: a classic script's names would otherwise be the page's.
{
  // After the first visit the page works with no network: its service worker keeps every file.
  // It is registered once the page has loaded, so that its copying never slows the first start.
  if ('serviceWorker' in navigator)
    window.addEventListener('load', () => navigator.serviceWorker.register('sw.js'));

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
  // where the server sends another type, which streaming compilation refuses.
  async function instantiate(url, imports) {
    let response;
    try {
      response = await fetch(url);
    } catch {
      throw new Failure('its program could not be downloaded');
    }
    if (!response.ok) throw new Failure(`its program could not be downloaded (${response.status})`);
    try {
      return (await WebAssembly.instantiateStreaming(response.clone(), imports)).instance;
    } catch (error) {
      if (!(error instanceof TypeError)) throw error;
      return (await WebAssembly.instantiate(await response.arrayBuffer(), imports)).instance;
    }
  }

  // The page says why in one line, with a link that tries again, which a screen reader reads
  // out at once (role="alert"); the windows stay as the user left them, inert.
  function failed(sentence) {
    page?.stop();
    for (const panel of document.querySelectorAll('section.window')) panel.inert = true;
    document.documentElement.classList.add('failed');
    const line = document.getElementById('failed');
    line.querySelector('.why').textContent = sentence;
    line.hidden = false;
  }

  async function start() {
    // The first paint before the modules' work, which would hold it; a tab in the background
    // paints nothing and gets no animation frames, so a timer stands in there.
    await new Promise((done) => {
      requestAnimationFrame(() => setTimeout(done));
      setTimeout(done, 100);
    });
    try {
      page = await import('./page.js');
    } catch (error) {
      console.error(error);
    }
    for (const kind of kinds) removeEventListener(kind, keep, true);
    page?.takeOver(early);
    try {
      if (!page) throw new Failure('its page could not be downloaded');
      if (typeof WebAssembly !== 'object') throw new Failure('this browser runs no WebAssembly');
      const url = document.querySelector('link[rel=preload][type="application/wasm"]').href;
      const instance = await instantiate(url, page.imports);
      page.starting(instance.exports, (error) => {
        console.error(error);
        failed('The calculator stopped with an error.');
      });
      instance.exports._initialize();
      instance.exports.__main_void();
      page.ready();
    } catch (error) {
      if (!(error instanceof Failure)) console.error(error);
      failed(error instanceof Failure ? error.message
        : 'The calculator could not start: it stopped with an error while starting.');
    }
  }

  start();
}
