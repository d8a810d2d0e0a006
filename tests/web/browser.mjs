// Debian's Chromium, headless, with a fresh profile, and the site's server: what the web
// tests and the benchmark share.
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';
export { serve } from '../../scripts/serve.mjs';

export async function launch() {
  const profile = mkdtempSync(join(tmpdir(), 'quinbray-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    // No sandbox as root; no calls home, which a closed network refuses.
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--disable-quic'],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    rmSync(profile, { recursive: true, force: true, maxRetries: 5 });
  };
  return browser;
}
