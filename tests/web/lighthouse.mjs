// Lighthouse's audits of a page in Debian's Chromium, as its mobile phone: each category's
// score out of 100, and the audits that fell short, for the web tests and the benchmark.
import { launch } from 'chrome-launcher';
import lighthouse from 'lighthouse';
import { chromium, chromiumFlags } from './browser.mjs';

export const categories = ['performance', 'accessibility', 'best-practices', 'seo'];

export async function audit(url, only = categories) {
  const chrome = await launch({ chromePath: chromium, chromeFlags: ['--headless', ...chromiumFlags] });
  try {
    const { lhr } = await lighthouse(url, { port: chrome.port, logLevel: 'error', formFactor: 'mobile', onlyCategories: only });
    const scores = Object.fromEntries(only.map((id) => [id, Math.round(lhr.categories[id].score * 100)]));
    // Only the audits that count towards a score; the rest are advice.
    const failed = only.flatMap((id) =>
      lhr.categories[id].auditRefs
        .filter((ref) => ref.weight > 0)
        .map((ref) => lhr.audits[ref.id])
        .filter((a) => a.score !== null && a.score < 1)
        .map((a) => `${id}: ${a.title} (${a.displayValue ?? a.score})`),
    );
    return { scores, failed, version: lhr.lighthouseVersion };
  } finally {
    chrome.kill();
  }
}
