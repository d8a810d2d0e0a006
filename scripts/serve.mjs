// Serves a built site on 127.0.0.1, as a static web server would: the right types (wasm
// must be application/wasm to be compiled while it downloads) and gzip where the browser
// takes it. Run as `node scripts/serve.mjs SITE [PORT]`, or import serve() from a test.
import { createServer } from 'node:http';
import { readFile, stat } from 'node:fs/promises';
import { extname, join, normalize, resolve } from 'node:path';
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

export function serve(site, port = 0) {
  const root = resolve(site);
  const gzipped = new Map(); // file → { mtime, body }: compressed once, as servers keep .gz files
  const server = createServer(async (request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    const file = normalize(join(root, path.endsWith('/') ? `${path}index.html` : path));
    if (!file.startsWith(root)) return response.writeHead(403).end();
    let body, mtime;
    try {
      [body, { mtimeMs: mtime }] = await Promise.all([readFile(file), stat(file)]);
    } catch {
      return response.writeHead(404).end();
    }
    // Revalidated on every use, answered "not modified" while the file is the same: the
    // service worker's copies then cost no second download.
    const tag = `"${body.length.toString(16)}-${Math.floor(mtime).toString(16)}"`;
    if (request.headers['if-none-match'] === tag) return response.writeHead(304, { ETag: tag }).end();
    const extension = extname(file);
    const headers = { 'Content-Type': types[extension] ?? 'application/octet-stream', 'Cache-Control': 'no-cache', ETag: tag };
    if (compressible.has(extension) && /\bgzip\b/.test(request.headers['accept-encoding'] ?? '')) {
      if (gzipped.get(file)?.mtime !== mtime) gzipped.set(file, { mtime, body: gzipSync(body, { level: 9 }) });
      body = gzipped.get(file).body;
      headers['Content-Encoding'] = 'gzip';
    }
    headers['Content-Length'] = body.length;
    server.bytesSent += body.length;
    response.writeHead(200, headers).end(request.method === 'HEAD' ? undefined : body);
  });
  server.bytesSent = 0; // the bodies as sent, for the benchmark
  return new Promise((done) => server.listen(port, '127.0.0.1', () => done(server)));
}

if (import.meta.url === pathToFileURL(process.argv[1]).href) {
  const [site, port = '8000'] = process.argv.slice(2);
  const server = await serve(site, Number(port));
  console.log(`Quinbray is served at http://127.0.0.1:${server.address().port}/  (Ctrl+C stops it)`);
}
