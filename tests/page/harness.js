// Opens the checker page from its file URL in Debian's headless Chromium, with a stand-in
// for window.chrome.webview that records what the page posts and lets a test deliver replies.
import { mkdtempSync, rmSync, mkdirSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, dirname } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

const here = dirname(fileURLToPath(import.meta.url));
export const PAGE_URL = pathToFileURL(join(here, '../../checker/web/index.html')).href;
export const ARTIFACTS = join(here, 'artifacts');

const CHROMIUM = process.env.CHROMIUM ?? '/usr/bin/chromium';
const FLAGS = [
  '--no-sandbox',
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
];

// Runs before the page's own script, as the host's injected API does.
function installBridge() {
  const listeners = [];
  window.__posted = [];
  window.chrome = window.chrome || {};
  window.chrome.webview = {
    // Kept as the JSON text the host would receive, so key order and literals can be checked.
    postMessage(message) {
      window.__posted.push(JSON.stringify(message));
    },
    addEventListener(type, fn) {
      if (type === 'message') listeners.push(fn);
    },
    removeEventListener(type, fn) {
      const at = listeners.indexOf(fn);
      if (at >= 0) listeners.splice(at, 1);
    },
  };
  window.__deliver = (data) => {
    for (const fn of listeners.slice()) fn({ data });
  };
}

export async function launch() {
  const profile = mkdtempSync(join(tmpdir(), 'velmora-page-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: CHROMIUM,
    headless: true,
    args: FLAGS,
    viewport: { width: 1180, height: 780 },
  });
  return {
    context,
    async close() {
      await context.close();
      rmSync(profile, { recursive: true, force: true });
    },
  };
}

// A fresh page. `problems` collects script errors, console errors (CSP refusals among them)
// and every request other than the page itself.
export async function openPage(context, { viewport = { width: 1180, height: 780 }, bridge = true, clock = false } = {}) {
  const page = await context.newPage();
  const problems = [];
  page.on('pageerror', (e) => problems.push(`page error: ${e.message}`));
  page.on('console', (m) => {
    if (m.type() === 'error') problems.push(`console: ${m.text()}`);
  });
  page.on('dialog', (d) => {
    problems.push(`dialog: ${d.message()}`);
    d.dismiss();
  });
  page.on('request', (r) => {
    if (r.url() !== PAGE_URL) problems.push(`request: ${r.url()}`);
  });
  await page.setViewportSize(viewport);
  if (clock) await page.clock.install();
  if (bridge) await page.addInitScript(installBridge);
  await page.goto(PAGE_URL);
  return { page, problems };
}

export async function posted(page) {
  return page.evaluate(() => window.__posted.slice());
}

export async function deliver(page, reply) {
  await page.evaluate((r) => window.__deliver(r), reply);
}

export async function screenshot(page, name) {
  mkdirSync(ARTIFACTS, { recursive: true });
  await page.screenshot({ path: join(ARTIFACTS, `${name}.png`), fullPage: false });
}

// Page helpers by role and label, as a person (or a screen reader) finds the controls.
export const ui = {
  address: (page) => page.getByLabel('IPv4 address'),
  scan: (page) => page.getByRole('button', { name: /^(Scan|Scanning… \d+ s)$/ }),
  detect: (page) => page.getByRole('button', { name: /Detect my IP|Detecting/ }).first(),
  switch: (page, name) => page.getByRole('switch', { name }),
  mode: (page, name) => page.getByRole('radio', { name }),
};
