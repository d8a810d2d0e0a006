// The site's server, sent byte for byte what a hostile page or a careless client may send:
// each gets its status, none a byte from outside the site or a trace of the machine, every
// answer forbids framing, sniffing and referrers, and the server goes on serving.
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

// One request as raw bytes, with the header lines given (by default the Host a browser sends
// for the server's address); the whole answer, as the socket gave it until the server closed.
function send(port, method, target, lines = [`Host: 127.0.0.1:${port}`]) {
  return new Promise((done) => {
    const chunks = [];
    const head = [`${method} ${target} HTTP/1.1`, ...lines, 'Connection: close'].join('\r\n');
    const socket = connect(port, '127.0.0.1', () => socket.write(`${head}\r\n\r\n`, 'latin1'));
    socket.on('data', (chunk) => chunks.push(chunk));
    socket.on('error', () => {}); // a reset after the answer, for one too long to read
    socket.on('close', () => done(Buffer.concat(chunks).toString('latin1')));
  });
}

test('the server answers every bad request and goes on serving', async () => {
  const server = await serve(site);
  const { port } = server.address();
  // A page elsewhere whose name is made to lead here (DNS rebinding) sends its own name.
  const host = (...names) => names.map((name) => `Host: ${name}`);
  const rows = [
    ['GET', '/', 200],
    ['GET', '/', 200, host(`localhost:${port}`)],
    ['GET', '/', 200, host(`[::1]:${port}`)],
    ['GET', '/', 200, host(`LocalHost:${port}`)],
    ['GET', '/', 421, host('attacker.example')],
    ['GET', '/', 421, host(`attacker.example:${port}`)],
    ['GET', '/', 421, host(`localhost.attacker.example:${port}`)],
    ['GET', '/', 421, host(`127.0.0.1.attacker.example:${port}`)],
    ['GET', '/', 421, host(`attacker.example@127.0.0.1:${port}`)],
    ['GET', '/', 421, host(`127.0.0.1:${port}@attacker.example`)],
    ['GET', '/', 421, host(`127.0.0.1.:${port}`)],
    ['GET', '/', 421, host(`2130706433:${port}`)],
    ['GET', '/', 421, host('127.0.0.1')],
    ['GET', '/', 421, host('localhost')],
    ['GET', '/', 421, host(`127.0.0.1:${port + 1}`)],
    ['GET', '/', 421, host(`127.0.0.1:0${port}`)],
    ['GET', '/', 421, host(`[::ffff:127.0.0.1]:${port}`)],
    ['GET', '/', 400, []],
    ['GET', '/', 400, host('')],
    ['GET', '/', 400, host(`127.0.0.1:${port}`, 'attacker.example')],
    ['GET', '/', 400, host(`127.0.0.1:${port}`, `127.0.0.1:${port}`)],
    ['GET', 'http://attacker.example/', 421],
    ['GET', `http://attacker.example:${port}/`, 421],
    ['GET', `http://user@127.0.0.1:${port}/`, 421],
    ['GET', `https://127.0.0.1:${port}/`, 421],
    ['GET', `http://127.0.0.1:${port}/`, 200],
    ['POST', '/', 421, host('attacker.example')],
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
    ['GET', `file://${top}/site-secret/key.txt`, 421],
    ['GET', `http://127.0.0.1:${port}/..%2F..%2Fsite-secret/key.txt`, 404],
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
    for (const [method, target, status, lines] of rows) {
      const row = `${method} ${target.slice(0, 60)} ${lines?.join(', ') ?? ''}`;
      const answer = await send(port, method, target, lines);
      assert.equal(Number(answer.match(/^HTTP\/1\.1 (\d{3}) /)?.[1]), status, row);
      assert.match(answer, /\r\nContent-Security-Policy: frame-ancestors 'none'\r\n/i, row);
      assert.match(answer, /\r\nX-Frame-Options: DENY\r\n/i, row);
      assert.match(answer, /\r\nX-Content-Type-Options: nosniff\r\n/i, row);
      assert.match(answer, /\r\nReferrer-Policy: no-referrer\r\n/i, row);
      if (status === 405) assert.match(answer, /\r\nAllow: GET, HEAD\r\n/i, row);
      assert.ok(!answer.includes('7d1e0c'), `${row}: nothing from outside the site`);
      assert.ok(!/\/tmp|\/work|\/home|\bat .+:\d+:\d+|Error/.test(answer), `${row}: no path or trace in ${answer}`);
      assert.match(await send(port, 'GET', '/'), /^HTTP\/1\.1 200 [^]*<title>Quinbray<\/title>$/, `served after ${row}`);
    }
  } finally {
    server.close();
  }
});

// Each encoding of a file is another body: it has a tag of its own, which a revalidation of
// the other never matches, and every answer varies by Accept-Encoding, so that no cache hands
// one client the body that another's Accept-Encoding chose.
test("each encoding of a file has its own tag, and the answers say they vary by Accept-Encoding", async () => {
  const server = await serve(site);
  const { port } = server.address();
  const get = (lines) => send(port, 'GET', '/index.html', [`Host: 127.0.0.1:${port}`, ...lines]);
  const header = (answer, name) => answer.match(new RegExp(`\r\n${name}: ([^\r]*)\r\n`, 'i'))?.[1];
  const gzip = 'Accept-Encoding: gzip, deflate, br';
  try {
    const tags = { identity: header(await get([]), 'ETag'), gzip: header(await get([gzip]), 'ETag') };
    assert.notEqual(tags.identity, tags.gzip);
    const rows = [
      [[], 200, 'identity'],
      [[gzip], 200, 'gzip'],
      [['Accept-Encoding: GZIP'], 200, 'gzip'],
      [['Accept-Encoding: gzip;q=0'], 200, 'identity'],
      [['Accept-Encoding: br, gzip;q=0.5'], 200, 'gzip'],
      [['Accept-Encoding: *'], 200, 'gzip'],
      [['Accept-Encoding: br, *;q=0'], 200, 'identity'],
      [['Accept-Encoding: gzipx'], 200, 'identity'],
      [[`If-None-Match: ${tags.identity}`], 304, 'identity'],
      [[`If-None-Match: ${tags.gzip}`], 200, 'identity'],
      [[gzip, `If-None-Match: ${tags.gzip}`], 304, 'gzip'],
      [[gzip, `If-None-Match: ${tags.identity}`], 200, 'gzip'],
      [[gzip, `If-None-Match: W/${tags.gzip}`], 304, 'gzip'],
      [[gzip, `If-None-Match: "other", ${tags.gzip}`], 304, 'gzip'],
      [[gzip, 'If-None-Match: *'], 304, 'gzip'],
    ];
    for (const [lines, status, encoding] of rows) {
      const row = lines.join(', ') || 'no Accept-Encoding';
      const answer = await get(lines);
      assert.equal(Number(answer.match(/^HTTP\/1\.1 (\d{3}) /)?.[1]), status, row);
      assert.equal(header(answer, 'ETag'), tags[encoding], row);
      assert.equal(header(answer, 'Vary'), 'Accept-Encoding', row);
      if (status === 200) assert.equal(header(answer, 'Content-Encoding') ?? 'identity', encoding, row);
    }
  } finally {
    server.close();
  }
});
