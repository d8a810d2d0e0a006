// The browser's window system for a program compiled to WebAssembly: the page's entry. The
// page's HTML already shows the first window as the program makes it; this takes it over at
// once, so that it can be used while the program downloads, then starts the program, which
// finds its window there. Where the program cannot be loaded or started, the page says so.

import { failed, imports, ready, starting, takeOver } from './page.js';
import { wasi } from './wasi.js';

takeOver();

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

try {
  if (typeof WebAssembly !== 'object') throw new Failure('this browser runs no WebAssembly');
  let memory;
  const url = document.querySelector('link[rel=preload][type="application/wasm"]').href;
  const instance = await instantiate(url, {
    page: imports,
    wasi_snapshot_preview1: wasi(() => memory),
  });
  memory = instance.exports.memory;
  starting(instance.exports, (error) => {
    console.error(error);
    failed('The calculator stopped with an error.');
  });
  instance.exports._initialize();
  instance.exports.__main_void();
  ready();
} catch (error) {
  if (!(error instanceof Failure)) console.error(error);
  failed(error instanceof Failure ? error.message
    : 'The calculator could not start: it stopped with an error while starting.');
}
