// Opens the checker page from its file URL in Debian's headless Chromium, with a stand-in
// for window.chrome.webview that records what the page posts and lets a test deliver replies.
import { mkdtempSync, rmSync, mkdirSync, readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
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
// `media` is emulated from the first paint on: { forcedColors: 'active' } is a Windows contrast theme.
export async function openPage(context, { viewport = { width: 1180, height: 780 }, bridge = true, clock = false, media = null } = {}) {
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
  if (media) await page.emulateMedia(media);
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
  // Sets the switches and the mode to those a reply was made with: a group that is all "off"
  // had its switch off. The page shows a reply only when it answers the request on screen.
  async optionsFor(page, reply) {
    const names = { geo: /^Geolocation/, rep: /^Reputation/, tor: /^Tor/, dns: /^DNS/, local: /^Local/ };
    for (const [group, name] of Object.entries(names)) {
      const members = (reply.sources ?? []).filter((s) => s.group === group);
      const on = !(members.length > 0 && members.every((s) => s.status === 'off'));
      if ((await ui.switch(page, name).isChecked()) !== on) await ui.switch(page, name).click();
    }
    if (reply.mode === 'fast') await ui.mode(page, /Fast/).click();
  },
};

// axe-core, evaluated into the page through the debugging protocol (the page's own policy
// would refuse a script tag). Returns the serious and critical violations with their nodes.
const AXE = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
export async function axe(page) {
  await page.evaluate(AXE);
  const found = await page.evaluate(async () => {
    const r = await window.axe.run(document, { resultTypes: ['violations'] });
    return r.violations.map((v) => ({ id: v.id, impact: v.impact, nodes: v.nodes.map((n) => n.target.join(' ')) }));
  });
  return found.filter((v) => v.impact === 'serious' || v.impact === 'critical');
}

// Visible text set smaller than `min` px, as "selector: size" strings.
export async function smallText(page, min = 11) {
  return page.evaluate((limit) => {
    const out = [];
    for (const node of document.querySelectorAll('body *')) {
      const own = [...node.childNodes].some((c) => c.nodeType === 3 && c.textContent.trim() !== '');
      if (!own || node.closest('.visually-hidden') || node.getClientRects().length === 0) continue;
      const size = parseFloat(getComputedStyle(node).fontSize);
      if (size < limit) out.push(`${node.tagName.toLowerCase()}.${node.className}: ${size}px`);
    }
    return out;
  }, min);
}
