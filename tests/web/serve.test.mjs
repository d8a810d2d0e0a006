// The site's server, sent byte for byte what a hostile page or a careless client may send:
// each gets its status, none a byte from outside the site or a trace of the machine, every
// answer forbids framing, and the server goes on serving.
import { after, test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdirSync, mkdtempSync, rmSync, symlinkSync, writeFileSync } from 'node:fs';
import { connect } from 'node:net';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { serve } from '../../scripts/serve.mjs';

// site/ beside site-secret/, whose name begins with the site's; two links lead out of site/.
const top = mkdtempSync(join(tmpdir(), 'quinbray-serve-'));
const site = join(top, 'site');
const secret = 'key-7d1e0c';
mkdirSync(site);
mkdirSync(join(top, 'site-secret'));
writeFileSync(join(site, 'index.html'), '<!doctype html><title>Quinbray</title>');
writeFileSync(join(top, 'site-secret', 'key.txt'), secret);
symlinkSync(join(top, 'site-secret'), join(site, 'out'));
symlinkSync(join(top, 'site-secret', 'key.txt'), join(site, 'key.txt'));
after(() => rmSync(top, { recursive: true, force: true }));

// One request as raw bytes; the whole answer, as the socket gave it until the server closed.
function send(port, method, target) {
  return new Promise((done) => {
    const chunks = [];
    const socket = connect(port, '127.0.0.1', () =>
      socket.write(`${method} ${target} HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n`, 'latin1'),
    );
    socket.on('data', (chunk) => chunks.push(chunk));
    socket.on('error', () => {}); // a reset after the answer, for one too long to read
    socket.on('close', () => done(Buffer.concat(chunks).toString('latin1')));
  });
}

test('the server answers every bad request and goes on serving', async () => {
  const server = await serve(site);
  const { port } = server.address();
  const rows = [
    ['GET', '/', 200],
    ['HEAD', '/index.html', 200],
    ['GET', '/../site-secret/key.txt', 404],
    ['GET', '/../../../../../../etc/passwd', 404],
    ['GET', '/%2e%2e/site-secret/key.txt', 404],
    ['GET', '/..%2Fsite-secret/key.txt', 404],
    ['GET', '/%2E%2E%2Fsite-secret%2Fkey.txt', 404],
    ['GET', '/%252e%252e%252fsite-secret/key.txt', 404],
    ['GET', '/..\\site-secret\\key.txt', 404],
    ['GET', '/..%5Csite-secret%5Ckey.txt', 404],
    ['GET', '/out/key.txt', 404],
    ['GET', '/key.txt', 404],
    ['GET', `${top}/site-secret/key.txt`, 404],
    ['GET', `/${encodeURIComponent(`${top}/site-secret/key.txt`)}`, 404],
    ['GET', `file://${top}/site-secret/key.txt`, 404],
    ['GET', `http://127.0.0.1/..%2F..%2Fsite-secret/key.txt`, 404],
    ['GET', '/index.html%00', 400],
    ['GET', '/index.html\0', 400],
    ['GET', '/%E0%A4%A', 400],
    ['GET', '/%', 400],
    ['GET', '/%zz', 400],
    ['GET', `/${'a'.repeat(5000)}`, 414],
    ['GET', `/${'a'.repeat(20000)}`, 431],
    ['POST', '/', 405],
    ['PUT', '/index.html', 405],
    ['DELETE', '/index.html', 405],
    ['OPTIONS', '/', 405],
    ['TRACE', '/', 405],
    ['GET', '/', 200],
  ];
  try {
    for (const [method, target, status] of rows) {
      const row = `${method} ${target.slice(0, 60)}`;
      const answer = await send(port, method, target);
      assert.equal(Number(answer.match(/^HTTP\/1\.1 (\d{3}) /)?.[1]), status, row);
      assert.match(answer, /\r\nContent-Security-Policy: frame-ancestors 'none'\r\n/i, row);
      assert.match(answer, /\r\nX-Frame-Options: DENY\r\n/i, row);
      if (status === 405) assert.match(answer, /\r\nAllow: GET, HEAD\r\n/i, row);
      assert.ok(!answer.includes('7d1e0c'), `${row}: nothing from outside the site`);
      assert.ok(!/\/tmp|\/work|\/home|\bat .+:\d+:\d+|Error/.test(answer), `${row}: no path or trace in ${answer}`);
      assert.match(await send(port, 'GET', '/'), /^HTTP\/1\.1 200 [^]*<title>Quinbray<\/title>$/, `served after ${row}`);
    }
  } finally {
    server.close();
  }
});
