// The page as a person meets it: at the window's size and resized narrow, by keyboard and by
// screen reader. Screenshots of every state land in artifacts/ for a look.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { mkdirSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { launch, openPage, deliver, screenshot, ui, axe, smallText, ARTIFACTS } from './harness.js';
import * as R from './fixtures/replies.js';

let browser;
before(async () => {
  browser = await launch();
});
after(async () => {
  await browser?.close();
});

const VIEWPORTS = [
  { width: 1180, height: 780 },
  { width: 600, height: 800 },
  { width: 1920, height: 1080 },
];

// The clock is the page's fake one: a scan that "took" 14 s looks like a real one.
async function startScan(page, address) {
  await ui.address(page).fill(address);
  await ui.address(page).press('Enter');
  await page.clock.runFor(14000);
}
const scanned = (address, reply) => async (p) => {
  await ui.optionsFor(p, reply);
  await startScan(p, address);
  await deliver(p, reply);
};

// Every state a person can meet. `key` is what must be on screen in that state.
const STATES = [
  { name: 'ready', act: async () => {}, key: '#scan-btn' },
  { name: 'scanning', act: async (p) => startScan(p, '203.0.113.7'), key: '#scan-label' },
  {
    name: 'waited-long',
    act: async (p) => {
      await startScan(p, '203.0.113.7');
      await p.clock.runFor(60000);
    },
    key: '#stop-btn',
  },
  {
    name: 'stopped-waiting',
    act: async (p) => {
      await startScan(p, '203.0.113.7');
      await p.clock.runFor(60000);
      await p.locator('#stop-btn').click();
    },
    key: '#message-title',
  },
  { name: 'high-risk', act: scanned('203.0.113.7', R.HIGH_RISK), key: '#verdict-heading' },
  { name: 'fast-watchlist', act: scanned('192.0.2.44', R.FAST_WATCHLIST), key: '#verdict-heading' },
  { name: 'clean', act: scanned('198.51.100.23', R.CLEAN_HOME), key: '#verdict-heading' },
  { name: 'offline', act: scanned('', R.OFFLINE), key: '#unknown-note' },
  { name: 'vpn-refused', act: scanned('198.51.100.150', R.VPN_REFUSED), key: '#unknown-note' },
  { name: 'private-address', act: scanned('192.168.1.20', R.PRIVATE_HOME), key: '#special-note' },
  { name: 'nothing-checked', act: scanned('192.0.2.9', R.NOTHING_CHECKED), key: '#verdict-heading' },
  {
    name: 'ip-required',
    act: async (p) => {
      await ui.switch(p, /Auto IP/).click();
      await scanned('', R.IP_REQUIRED)(p);
    },
    key: '#message-title',
  },
  { name: 'scan-failed', act: scanned('203.0.113.7', R.SCAN_FAILED), key: '#message-title' },
  {
    name: 'detected-ip',
    act: async (p) => {
      await ui.detect(p).click();
      await deliver(p, R.IP_FOUND);
    },
    key: '#ip-status',
  },
  {
    name: 'ip-not-found',
    act: async (p) => {
      await ui.detect(p).click();
      await deliver(p, R.IP_NOT_FOUND);
    },
    key: '#ip-status',
  },
];

// Serious and critical axe findings per state, written out for a look at the numbers.
const AXE_COUNTS = {};
after(() => {
  mkdirSync(ARTIFACTS, { recursive: true });
  writeFileSync(join(ARTIFACTS, 'axe-counts.json'), JSON.stringify(AXE_COUNTS, null, 1));
});

describe('every state at three window sizes, in normal and forced colours', () => {
  for (const vp of VIEWPORTS) {
    for (const forced of [false, true]) {
      it(`${vp.width}×${vp.height}${forced ? ' forced colours' : ''}`, async () => {
        const failures = [];
        for (const state of STATES) {
          // Reduced motion: screenshots show settled colours, not a transition half-way.
          const media = { reducedMotion: 'reduce', forcedColors: forced ? 'active' : 'none' };
          const { page, problems } = await openPage(browser.context, { viewport: vp, clock: true, media });
          await state.act(page);
          await screenshot(page, `${state.name}-${vp.width}x${vp.height}${forced ? '-forced' : ''}`);
          const fit = await page.evaluate((key) => {
            const box = document.querySelector(key).getBoundingClientRect();
            return {
              overflow: document.documentElement.scrollWidth - window.innerWidth,
              onScreen: box.height > 0 && box.top >= 0 && box.bottom <= window.innerHeight,
            };
          }, state.key);
          assert.equal(fit.overflow, 0, `${state.name}: page wider than the window`);
          assert.ok(fit.onScreen, `${state.name}: ${state.key} is not on screen`);
          assert.deepEqual(problems, [], state.name);
          if (!forced) {
            const found = await axe(page);
            AXE_COUNTS[`${state.name} ${vp.width}x${vp.height}`] = found.map((v) => `${v.id}(${v.impact}): ${v.nodes.length}`);
            if (found.length) failures.push(`${state.name}: ${JSON.stringify(found)}`);
            const small = await smallText(page);
            if (small.length) failures.push(`${state.name}: text under 11 px: ${small.join(', ')}`);
          }
          await page.close();
        }
        assert.deepEqual(failures, []);
      });
    }
  }
});

describe('keyboard and screen reader', () => {
  it('Tab walks the controls in reading order', async () => {
    const { page } = await openPage(browser.context);
    const order = [];
    for (let i = 0; i < 10; i++) {
      await page.keyboard.press('Tab');
      order.push(await page.evaluate(() => document.activeElement.id || document.activeElement.value));
    }
    assert.deepEqual(order, [
      'ip', 'scan-btn', 'detect-btn', 'opt-autoIp', 'opt-geo', 'opt-reputation', 'opt-tor', 'opt-dns', 'opt-local', 'deep',
    ]);
    await page.close();
  });

  it('controls carry their names, and the outcome is announced and focused', async () => {
    const { page } = await openPage(browser.context);
    for (const name of ['Auto IP', 'Geolocation', 'Reputation services', 'Tor exit list', 'DNS blocklists', 'Local proxy']) {
      assert.equal(await ui.switch(page, new RegExp(`^${name}`)).count(), 1, name);
    }
    assert.equal(await page.getByRole('radiogroup').count() + await page.getByRole('group', { name: 'Scan mode' }).count(), 1);
    assert.equal(await page.getByRole('textbox', { name: 'IPv4 address' }).getAttribute('aria-describedby'), 'ip-hint');

    await ui.address(page).fill('203.0.113.7');
    await ui.scan(page).click();
    await page.waitForFunction(() => document.getElementById('announcer').textContent.startsWith('Scan started'));
    await deliver(page, R.HIGH_RISK);
    await page.waitForFunction(() => document.getElementById('announcer').textContent !== '' &&
      !document.getElementById('announcer').textContent.startsWith('Scan started'));
    assert.equal(await page.locator('#announcer').textContent(),
      'Scan finished: High risk, risk score 82 of 100. 1 of 15 sources could not be checked.');
    // Scan was pressed and then disabled; the focus moves on to the verdict instead of getting lost.
    assert.equal(await page.evaluate(() => document.activeElement.id), 'verdict-heading');
    assert.equal(await page.getByRole('meter', { name: 'Risk score' }).getAttribute('aria-valuetext'), '82 of 100, High risk');
    await page.close();
  });

  it('the hint under the address says what will happen', async () => {
    const cases = [
      { typed: '', autoIp: true, hint: /Leave it empty to check your own public address/, warn: false },
      { typed: '', autoIp: false, hint: /Auto IP is off/, warn: true },
      { typed: ' 203.0.113.7 ', autoIp: true, hint: /Press Enter to scan/, warn: false },
      { typed: '203.0.113.256', autoIp: true, hint: /does not look like an IPv4 address/, warn: true },
      { typed: 'example.org', autoIp: false, hint: /does not look like an IPv4 address/, warn: true },
    ];
    const { page } = await openPage(browser.context);
    for (const c of cases) {
      await ui.address(page).fill(c.typed);
      if ((await ui.switch(page, /Auto IP/).isChecked()) !== c.autoIp) await ui.switch(page, /Auto IP/).click();
      assert.match(await page.locator('#ip-hint').textContent(), c.hint, JSON.stringify(c));
      assert.equal((await page.locator('#ip-hint').getAttribute('class')).includes('warn'), c.warn, JSON.stringify(c));
    }
    await page.close();
  });
});
