// Serves a built site on 127.0.0.1, as a static web server would: the right types (wasm
// must be application/wasm to be compiled while it downloads) and gzip where the browser
// takes it. Run as `node scripts/serve.mjs SITE [PORT]`, or import serve() from a test.
//
// Any page open in the same browser can send it requests, so it answers every one and
// lives on: nothing outside the site's folder, nothing but GET and HEAD, and no error's
// text, which could tell the machine's paths. It answers only to its own names: a page
// elsewhere whose name is made to lead here (DNS rebinding) sends that name as the Host.
import { createServer, STATUS_CODES } from 'node:http';
import { readFile, realpath, stat } from 'node:fs/promises';
import { extname, isAbsolute, join, relative, resolve, sep } from 'node:path';
import { gzipSync } from 'node:zlib';
import { pathToFileURL } from 'node:url';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.webmanifest': 'application/manifest+json',
  '.json': 'application/json',
  '.png': 'image/png',
};
const compressible = new Set(['.html', '.css', '.js', '.mjs', '.wasm', '.webmanifest', '.json']);
// No other site may frame the page and lay it under its own clicks, which a <meta> cannot
// forbid; no file is taken for another type than the one sent; no address of the site goes
// out with a request. The site's header files for other servers say the same.
export const always = {
  'Content-Security-Policy': "frame-ancestors 'none'",
  'X-Frame-Options': 'DENY',
  'X-Content-Type-Options': 'nosniff',
  'Referrer-Policy': 'no-referrer',
};
const longest = 4096; // the site's addresses are a few dozen bytes

class Refusal extends Error {
  constructor(status, headers = {}) {
    super(STATUS_CODES[status]);
    Object.assign(this, { status, headers });
  }
}

// Whether a request is for this server by name: one Host, one of the loopback names with the
// server's port (which a browser leaves out only for port 80), and the same in an absolute
// target. Otherwise 400 where the name is missing or malformed, 421 where it is another's.
function checkHost(request, port) {
  const hosts = request.headersDistinct.host ?? [];
  if (hosts.length !== 1 || !hosts[0]) throw new Refusal(400);
  const ours = ['127.0.0.1', 'localhost', '[::1]'].flatMap((name) => [`${name}:${port}`, ...(port === 80 ? [name] : [])]);
  if (!ours.includes(hosts[0].toLowerCase())) throw new Refusal(421);
  if (/^[a-z][a-z0-9+.-]*:/i.test(request.url)) {
    let target;
    try {
      target = new URL(request.url);
    } catch {
      throw new Refusal(400);
    }
    if (target.protocol !== 'http:' || target.username || target.password || !ours.includes(target.host)) throw new Refusal(421);
  }
}

// The file a request names, only where it lies inside the site once every link is followed.
async function fileOf(root, request, port) {
  if (request.url.length > longest) throw new Refusal(414);
  checkHost(request, port);
  if (request.method !== 'GET' && request.method !== 'HEAD') throw new Refusal(405, { Allow: 'GET, HEAD' });
  let path;
  try {
    path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
  } catch {
    throw new Refusal(400); // a malformed escape, or no URL at all
  }
  if (path.includes('\0')) throw new Refusal(400);
  try {
    const base = await realpath(root);
    const file = await realpath(join(base, path.endsWith('/') ? `${path}index.html` : path));
    const inside = relative(base, file);
    if (!isAbsolute(inside) && inside.split(sep)[0] !== '..' && (await stat(file)).isFile()) return file;
  } catch {
    // no such file: as for one outside
  }
  throw new Refusal(404);
}

// Whether the client takes gzip: named, or under `*`, with a weight above 0.
function takesGzip(request) {
  const weights = new Map((request.headers['accept-encoding'] ?? '').split(',').map((entry) => {
    const [name, ...parameters] = entry.split(';').map((part) => part.trim().toLowerCase());
    const q = parameters.find((parameter) => parameter.startsWith('q='));
    return [name, q ? Number(q.slice(2)) : 1];
  }));
  return (weights.get('gzip') ?? weights.get('*') ?? 0) > 0;
}

// Whether If-None-Match names this tag (compared weakly, as for a GET), or is `*`.
function matches(condition, tag) {
  return (condition ?? '').split(',').some((one) => ['*', tag].includes(one.trim().replace(/^W\//, '')));
}

export function serve(site, port = 0) {
  const root = resolve(site);
  const gzipped = new Map(); // file → { mtime, body }: compressed once, as servers keep .gz files
  async function answer(request, response) {
    const file = await fileOf(root, request, server.address().port);
    let [body, { mtimeMs: mtime }] = await Promise.all([readFile(file), stat(file)]);
    const extension = extname(file);
    const gzip = compressible.has(extension) && takesGzip(request);
    // Revalidated on every use, answered "not modified" while the file is the same: the
    // service worker's copies then cost no second download. Each encoding is another body,
    // with a tag of its own, and a cache keeps them apart by the request's Accept-Encoding.
    const tag = `"${body.length.toString(16)}-${Math.floor(mtime).toString(16)}${gzip ? '-gzip' : ''}"`;
    const headers = { ...always, 'Cache-Control': 'no-cache', ETag: tag };
    if (compressible.has(extension)) headers.Vary = 'Accept-Encoding';
    if (matches(request.headers['if-none-match'], tag)) return response.writeHead(304, headers).end();
    headers['Content-Type'] = types[extension] ?? 'application/octet-stream';
    if (gzip) {
      if (gzipped.get(file)?.mtime !== mtime) gzipped.set(file, { mtime, body: gzipSync(body, { level: 9 }) });
      body = gzipped.get(file).body;
      headers['Content-Encoding'] = 'gzip';
    }
    headers['Content-Length'] = body.length;
    server.bytesSent += body.length;
    response.writeHead(200, headers).end(request.method === 'HEAD' ? undefined : body);
  }
  // The Host is checked here, answered with the same headers as every other refusal.
  const server = createServer({ requireHostHeader: false }, (request, response) =>
    answer(request, response).catch((error) => {
      if (response.headersSent) return response.destroy();
      const { status, headers } = error instanceof Refusal ? error : new Refusal(500);
      response.writeHead(status, { ...always, ...headers, 'Content-Length': 0 }).end();
    }),
  );
  // What Node's parser refuses (a bad byte in the request line, headers too large) gets the
  // same headers as every other answer, and no text of the parser's error.
  server.on('clientError', (error, socket) => {
    if (!socket.writable || error.code === 'ECONNRESET') return socket.destroy();
    const status = error.code === 'HPE_HEADER_OVERFLOW' ? 431 : 400;
    const lines = Object.entries({ ...always, 'Content-Length': 0, Connection: 'close' }).map(([k, v]) => `${k}: ${v}\r\n`);
    socket.end(`HTTP/1.1 ${status} ${STATUS_CODES[status]}\r\n${lines.join('')}\r\n`);
  });
  server.bytesSent = 0; // the bodies as sent, for the benchmark
  return new Promise((done) => server.listen(port, '127.0.0.1', () => done(server)));
}

if (import.meta.url === pathToFileURL(process.argv[1]).href) {
  const [site, port = '8000'] = process.argv.slice(2);
  const server = await serve(site, Number(port));
  console.log(`Quinbray is served at http://127.0.0.1:${server.address().port}/  (Ctrl+C stops it)`);
}
