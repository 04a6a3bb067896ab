// What the page posts to the host. Each message must be an object (a posted string is ignored)
// and the switches real booleans: the host reads the bytes after each colon, and only the
// literals true/false count.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { launch, openPage, posted, deliver, ui } from './harness.js';
import * as R from './fixtures/replies.js';

let browser;
before(async () => {
  browser = await launch();
});
after(async () => {
  await browser?.close();
});

const BASE = { type: 'scan', geo: true, reputation: true, tor: true, dns: true, local: true, autoIp: true, mode: 'deep', ip: '' };
const scan = (changes) => ({ ...BASE, ...changes });
const GET_IP = { type: 'getIp' };
// Parsed back from the JSON text the host would receive.
const sent = async (page) => (await posted(page)).map((text) => JSON.parse(text));
const SWITCHES = ['Auto IP', 'Geolocation', 'Reputation services', 'Tor exit list', 'DNS blocklists', 'Local proxy'];

describe('requests posted to the host', () => {
  const cases = [
    {
      name: 'address typed, Enter pressed, every default',
      act: async (p) => {
        await ui.address(p).fill('203.0.113.7');
        await ui.address(p).press('Enter');
      },
      want: [scan({ ip: '203.0.113.7' })],
    },
    {
      name: 'blanks around the address are trimmed, Scan clicked',
      act: async (p) => {
        await ui.address(p).fill('  \t198.51.100.23  ');
        await ui.scan(p).click();
      },
      want: [scan({ ip: '198.51.100.23' })],
    },
    {
      name: 'blanks only count as no address',
      act: async (p) => {
        await ui.address(p).fill('   ');
        await ui.address(p).press('Enter');
      },
      want: [scan({ ip: '' })],
    },
    {
      name: 'every switch off and fast mode, by mouse',
      act: async (p) => {
        for (const name of SWITCHES) await ui.switch(p, new RegExp(name)).click();
        await ui.mode(p, /Fast/).click();
        await ui.scan(p).click();
      },
      want: [scan({ geo: false, reputation: false, tor: false, dns: false, local: false, autoIp: false, mode: 'fast' })],
      warn: /Every source is switched off: a scan would check nothing/,
    },
    {
      name: 'switches and mode changed from the keyboard',
      act: async (p) => {
        await ui.switch(p, /Geolocation/).focus();
        await p.keyboard.press('Space');
        await ui.switch(p, /DNS blocklists/).focus();
        await p.keyboard.press('Space');
        await ui.mode(p, /Deep/).focus();
        await p.keyboard.press('ArrowRight');
        await ui.address(p).fill('192.0.2.44');
        await ui.address(p).press('Enter');
      },
      want: [scan({ geo: false, dns: false, mode: 'fast', ip: '192.0.2.44' })],
    },
    {
      name: 'Detect my IP',
      act: async (p) => {
        await ui.detect(p).click();
      },
      want: [GET_IP],
    },
    {
      name: 'address left as typed when it is not IPv4',
      act: async (p) => {
        await ui.address(p).fill(' 2001:db8::1 ');
        await ui.address(p).press('Enter');
      },
      want: [scan({ ip: '2001:db8::1' })],
    },
  ];
  for (const c of cases) {
    it(c.name, async () => {
      const { page, problems } = await openPage(browser.context);
      await c.act(page);
      assert.deepStrictEqual(await sent(page), c.want);
      assert.equal(await page.locator('#scan-warn').isVisible(), c.warn !== undefined);
      if (c.warn) assert.match(await page.locator('#scan-warn').textContent(), c.warn);
      assert.deepEqual(problems, []);
      await page.close();
    });
  }
});

describe('one scan at a time', () => {
  it('Scan is disabled while a scan runs; Detect my IP still works; Scan returns with the reply', async () => {
    const { page, problems } = await openPage(browser.context);
    await ui.address(page).fill('203.0.113.7');
    await ui.address(page).press('Enter');
    await ui.address(page).press('Enter');
    await ui.scan(page).click({ force: true });
    assert.equal(await ui.scan(page).isDisabled(), true);
    assert.equal(await page.locator('#results').getAttribute('aria-busy'), 'true');
    assert.match(await page.locator('#busy-title').textContent(), /Checking 203\.0\.113\.7/);

    // The options the running scan was made with cannot be changed under it.
    assert.equal(await ui.switch(page, /Geolocation/).isDisabled(), true);
    assert.equal(await ui.mode(page, /Fast/).isDisabled(), true);
    await ui.detect(page).click();
    assert.deepStrictEqual(await sent(page), [scan({ ip: '203.0.113.7' }), GET_IP]);

    await deliver(page, R.HIGH_RISK);
    assert.equal(await ui.switch(page, /Geolocation/).isDisabled(), false);
    assert.equal(await ui.scan(page).isDisabled(), false);
    assert.equal(await page.locator('#results').getAttribute('aria-busy'), 'false');
    await ui.address(page).press('Enter');
    assert.equal((await posted(page)).length, 3);
    assert.deepEqual(problems, []);
    await page.close();
  });

  it('the busy state counts elapsed seconds and the result keeps the total', async () => {
    const { page, problems } = await openPage(browser.context, { clock: true });
    await ui.address(page).fill('203.0.113.7');
    await ui.address(page).press('Enter');
    await page.clock.runFor(3000);
    assert.equal(await page.locator('#busy-secs').textContent(), '3 s');
    assert.match(await ui.scan(page).textContent(), /Scanning… 3 s/);
    await page.clock.runFor(9000);
    assert.equal(await page.locator('#busy-secs').textContent(), '12 s');
    await deliver(page, R.HIGH_RISK);
    assert.equal(await page.locator('#r-took').textContent(), '12 s');
    assert.equal((await ui.scan(page).textContent()).trim(), 'Scan');
    assert.deepEqual(problems, []);
    await page.close();
  });

  it('a second Detect my IP waits for the first answer', async () => {
    const { page } = await openPage(browser.context);
    await ui.detect(page).click();
    await ui.detect(page).click({ force: true });
    assert.deepStrictEqual(await sent(page), [GET_IP]);
    await deliver(page, R.IP_NOT_FOUND);
    await ui.detect(page).click();
    assert.deepStrictEqual(await sent(page), [GET_IP, GET_IP]);
    await page.close();
  });
});

describe('a reply that is late, or never comes', () => {
  const stopWaiting = async (page) => {
    await page.clock.runFor(60000);
    await page.getByRole('button', { name: 'Stop waiting' }).click();
  };

  it('after a long wait the person can stop waiting and scan again; the old answer stays off the screen', async () => {
    const { page, problems } = await openPage(browser.context, { clock: true });
    await ui.address(page).fill('203.0.113.7');
    await ui.address(page).press('Enter');
    await page.clock.runFor(30000);
    assert.equal(await page.locator('#stop-btn').isVisible(), false);
    await stopWaiting(page);
    assert.equal(await ui.scan(page).isDisabled(), false);
    assert.match(await page.locator('#message-title').textContent(), /No answer yet for 203\.0\.113\.7/);

    await ui.address(page).fill('198.51.100.23');
    await ui.address(page).press('Enter');
    await deliver(page, R.HIGH_RISK);
    assert.equal(await page.locator('#view-busy').isVisible(), true);
    await deliver(page, R.CLEAN_HOME);
    assert.equal(await page.locator('#r-ip').textContent(), '198.51.100.23');
    // The late answer is kept for comparison with the one on screen.
    assert.deepEqual((await page.locator('#history .h-what').allTextContents()).map((t) => t.split(' · ')[0]),
      ['198.51.100.23', '203.0.113.7']);
    await page.locator('#history').getByRole('button', { name: 'Show' }).click();
    assert.equal(await page.locator('#r-ip').textContent(), '203.0.113.7');
    assert.deepEqual(problems, []);
    await page.close();
  });

  it('a failure holds no address: it answers the given-up scan, not the running one', async () => {
    const { page } = await openPage(browser.context, { clock: true });
    await ui.address(page).fill('203.0.113.7');
    await ui.address(page).press('Enter');
    await stopWaiting(page);
    await ui.address(page).fill('198.51.100.23');
    await ui.address(page).press('Enter');
    await deliver(page, R.SCAN_FAILED);
    assert.equal(await page.locator('#view-busy').isVisible(), true);
    await deliver(page, R.CLEAN_HOME);
    assert.equal(await page.locator('#r-ip').textContent(), '198.51.100.23');
    await page.close();
  });

  it('a late answer to the scan still on screen is shown', async () => {
    const { page } = await openPage(browser.context, { clock: true });
    // Only the test moves the clock: a slow machine's own seconds must not add to "Took".
    await page.clock.pauseAt(await page.evaluate(() => Date.now() + 1000));
    await ui.address(page).fill('203.0.113.7');
    await ui.address(page).press('Enter');
    await stopWaiting(page);
    await deliver(page, R.HIGH_RISK);
    assert.equal(await page.locator('#verdict').textContent(), 'High risk');
    assert.equal(await page.locator('#r-took').textContent(), '60 s');
    await page.close();
  });

  it('a reply made for other options than the running scan is not taken for its answer', async () => {
    const cases = [
      ['another address', { ...R.HIGH_RISK, ip: '192.0.2.1' }],
      ['another mode', { ...R.HIGH_RISK, mode: 'fast' }],
      ['a group off that was on', R.FAST_WATCHLIST],
      ['no address with Auto IP off', R.HIGH_RISK, async (p) => ui.switch(p, /Auto IP/).click()],
    ];
    for (const [name, reply, setup] of cases) {
      const { page } = await openPage(browser.context);
      await setup?.(page);
      await ui.address(page).fill(setup ? '' : '203.0.113.7');
      await ui.address(page).press('Enter');
      await deliver(page, reply);
      assert.equal(await page.locator('#view-busy').isVisible(), true, name);
      await page.close();
    }
  });

  it('Detect my IP can be asked again when the address service does not answer', async () => {
    const { page } = await openPage(browser.context, { clock: true });
    await ui.detect(page).click();
    await page.clock.runFor(21000);
    assert.match(await page.locator('#ip-status').textContent(), /No answer from the address service/);
    await ui.detect(page).click();
    assert.deepStrictEqual(await sent(page), [GET_IP, GET_IP]);
    await deliver(page, R.IP_FOUND);
    assert.equal(await ui.address(page).inputValue(), '203.0.113.7');
    await page.close();
  });
});

describe('without the host', () => {
  it('says the connection is missing and offers no button that would do nothing', async () => {
    const { page, problems } = await openPage(browser.context, { bridge: false });
    assert.equal(await page.getByRole('alert').isVisible(), true);
    assert.match(await page.getByRole('alert').textContent(), /only works inside Velmora Checker/);
    assert.equal(await ui.scan(page).isDisabled(), true);
    assert.equal(await ui.detect(page).isDisabled(), true);
    await ui.address(page).press('Enter');
    assert.equal(await page.locator('#view-busy').isVisible(), false);
    assert.deepEqual(problems, []);
    await page.close();
  });
});
