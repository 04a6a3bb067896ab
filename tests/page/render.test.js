// How the page shows each kind of reply, and that reply text can never become markup.
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

async function scanWith(page, address, reply) {
  await ui.optionsFor(page, reply);
  await ui.address(page).fill(address);
  await ui.address(page).press('Enter');
  await deliver(page, reply);
}

// The rendered source list as [group, name, domain, status, detail] rows, in page order.
async function sourceRows(page) {
  return page.locator('.group').evaluateAll((groups) =>
    groups.flatMap((g) =>
      [...g.querySelectorAll('.src')].map((row) => [
        g.dataset.group,
        row.querySelector('.name').textContent,
        row.querySelector('.domain')?.textContent ?? '',
        row.dataset.status,
        row.querySelector('.detail')?.textContent ?? '',
      ]),
    ),
  );
}

describe('a complete scanResult', () => {
  it('shows score, verdict, address, all sixteen sources in their groups, and every log line', async () => {
    const { page, problems } = await openPage(browser.context);
    await scanWith(page, '203.0.113.7', R.HIGH_RISK);

    assert.equal(await page.locator('#view-result').isVisible(), true);
    assert.equal(await page.locator('#score').textContent(), '82');
    assert.equal(await page.locator('#verdict').textContent(), 'High risk');
    assert.equal(await page.getByRole('meter', { name: 'Risk score' }).getAttribute('aria-valuenow'), '82');
    assert.equal(await page.locator('#r-ip').textContent(), '203.0.113.7');
    assert.equal(await page.locator('#r-mode').textContent(), 'Deep');
    assert.deepEqual(await page.locator('#tally li').allTextContents(), ['4 flagged', '10 clean', '1 unknown']);

    // A domain is shown only where it says more than the name.
    const want = R.HIGH_RISK.sources.map((s) => [
      s.group, s.name, s.domain === s.name ? '' : s.domain, s.status, s.detail || (s.status === 'unknown' ? 'No answer' : ''),
    ]);
    assert.deepEqual(await sourceRows(page), want);
    assert.deepEqual(await page.locator('.group h4 > span').allTextContents(), [
      'Public IP', 'Geolocation', 'Reputation', 'Tor', 'Blocklists & reverse DNS', 'Local',
    ]);
    // Each mark is readable as a word, not only as a colour.
    assert.deepEqual(
      await page.locator('.src').evaluateAll((rows) =>
        [...new Set(rows.map((r) => `${r.dataset.status}:${r.querySelector('.chip').textContent}`))].sort()),
      ['bad:Flagged', 'clean:Clean', 'clean:Info', 'unknown:Unknown'],
    );
    // The page never leaves itself: no links, and the lists' own pages come as text to copy.
    assert.equal(await page.locator('a[href]').count(), 0);
    assert.equal(await page.locator('#sources-count').textContent(), '15 of 15 sources asked');
    assert.deepEqual(await page.locator('#logs li').allTextContents(), R.HIGH_RISK.logs);
    assert.deepEqual(problems, []);
    await page.close();
  });

  it('colours the gauge and the verdict by the verdict, and keeps the score inside 0–100', async () => {
    const cases = [
      { verdict: 'Clean', score: 0, tone: 'tone-clean', colour: 'rgb(34, 197, 94)', shown: '0' },
      { verdict: 'Watchlist', score: 20, tone: 'tone-watch', colour: 'rgb(250, 204, 21)', shown: '20' },
      { verdict: 'Suspicious', score: 45, tone: 'tone-susp', colour: 'rgb(251, 146, 60)', shown: '45' },
      { verdict: 'High risk', score: 100, tone: 'tone-high', colour: 'rgb(244, 63, 94)', shown: '100' },
      { verdict: 'High risk', score: 250, tone: 'tone-high', colour: 'rgb(244, 63, 94)', shown: '100' },
      { verdict: 'Something new', score: -5, tone: 'tone-none', colour: 'rgb(148, 163, 184)', shown: '0' },
    ];
    const { page, problems } = await openPage(browser.context);
    for (const c of cases) {
      await scanWith(page, '192.0.2.1', R.scanResult({ ip: '192.0.2.1', score: c.score, verdict: c.verdict }));
      const got = await page.evaluate(() => ({
        cls: document.getElementById('summary').className,
        colour: getComputedStyle(document.getElementById('verdict-heading')).color,
        arc: getComputedStyle(document.getElementById('gauge-value')).stroke,
        score: document.getElementById('score').textContent,
      }));
      assert.ok(got.cls.includes(c.tone), `${c.verdict}: ${got.cls}`);
      assert.equal(got.colour, c.colour, c.verdict);
      assert.equal(got.arc, c.colour, c.verdict);
      assert.equal(got.score, c.shown, `${c.verdict} ${c.score}`);
    }
    assert.deepEqual(problems, []);
    await page.close();
  });

  it('names the fast mode and says which sources it skipped and which were switched off', async () => {
    const { page } = await openPage(browser.context);
    await scanWith(page, '192.0.2.44', R.FAST_WATCHLIST);
    assert.equal(await page.locator('#r-mode').textContent(), 'Fast');
    const rows = await sourceRows(page);
    assert.deepEqual(rows.filter((r) => r[3] === 'off').map((r) => [r[1], r[4]]),
      [['DB-IP', 'Skipped by Fast mode'], ['FreeIPAPI', 'Skipped by Fast mode'], ['System Proxy', '']]);
    assert.equal(await page.locator('.src[data-status="off"] .chip').first().textContent(), 'Off');
    assert.match(await page.locator('.src', { hasText: 'System Proxy' }).locator('.why-body').textContent(), /Switched off in the options/);
    await page.close();
  });
});

describe('addresses off the public internet, and a retired list', () => {
  const cases = [
    { ip: '192.168.1.20', reply: R.PRIVATE_HOME, note: /^192\.168\.1\.20 is a private address \(RFC 1918\), not a public internet address/ },
    { ip: '100.64.3.4', reply: { ...R.CLEAN_HOME, ip: '100.64.3.4' }, note: /is a shared address behind carrier-grade NAT/ },
    { ip: '255.255.255.255', reply: { ...R.CLEAN_HOME, ip: '255.255.255.255' }, note: /is the broadcast address/ },
    { ip: '100.128.0.1', reply: { ...R.CLEAN_HOME, ip: '100.128.0.1' }, note: null },
    { ip: '010.0.0.1', reply: { ...R.CLEAN_HOME, ip: '010.0.0.1' }, note: null },
  ];
  for (const c of cases) {
    it(`${c.ip}: ${c.note ? 'named above the sources' : 'no note'}`, async () => {
      const { page } = await openPage(browser.context);
      await scanWith(page, c.ip, c.reply);
      assert.equal(await page.locator('#special-note').isVisible(), c.note !== null);
      if (c.note) assert.match(await page.locator('#special-text').textContent(), c.note);
      await page.close();
    });
  }

  it('shows the closed list as off with its reason, and counts it as not asked', async () => {
    const { page } = await openPage(browser.context);
    await scanWith(page, '198.51.100.150', R.VPN_REFUSED);
    const sorbs = page.locator('.src', { hasText: 'SORBS' });
    assert.equal(await sorbs.getAttribute('data-status'), 'off');
    assert.equal(await sorbs.locator('.detail').textContent(), 'list closed in June 2024');
    assert.match(await sorbs.locator('.why-body').textContent(), /no longer asked \(list closed in June 2024\)/);
    assert.equal(await page.locator('#sources-count').textContent(), '14 of 15 sources asked');
    assert.match(await page.locator('.src', { hasText: 'proxycheck.io' }).locator('.why-body').textContent(),
      /came through a proxy or VPN/);
    await page.close();
  });
});

describe('sources that could not be checked', () => {
  const cases = [
    { name: 'none', reply: R.CLEAN_HOME, note: null, incomplete: false, headline: 'Clean', said: /^Scan finished: Clean, risk score 0 of 100\.$/ },
    {
      name: 'one of fifteen',
      reply: R.HIGH_RISK,
      note: /^1 of 15 sources could not be checked, so it adds nothing to the score\. Their reasons/,
      incomplete: false,
      headline: 'High risk',
      said: /^Scan finished: High risk, risk score 82 of 100\. 1 of 15 sources could not be checked\.$/,
    },
    {
      name: 'most of them',
      reply: R.OFFLINE,
      note: /^13 of 15 sources could not be checked.*score is incomplete: check the internet connection/,
      incomplete: true,
      headline: 'IncompleteClean so far',
      said: /^Scan incomplete: 13 of 15 sources could not be checked\. Risk score so far 0 of 100, Clean\.$/,
    },
    {
      name: 'most of the few that were switched on',
      reply: R.scanResult({
        ip: '192.0.2.9', score: 0, verdict: 'Clean',
        statuses: Object.fromEntries(R.CATALOGUE.slice(1).map((c) => [c.key, c.key === 'geoLookup' ? ['unknown', 'HTTP 429'] : 'off'])),
      }),
      note: /^1 of 1 source could not be checked.*incomplete/,
      incomplete: true,
      headline: 'IncompleteClean so far',
      said: /^Scan incomplete: 1 of 1 source could not be checked/,
    },
    {
      name: 'nothing of weight switched on',
      reply: R.NOTHING_CHECKED,
      note: null,
      incomplete: false,
      grey: true,
      headline: 'Nothing checked',
      said: /^Scan finished, but nothing that counts was checked/,
    },
    {
      name: 'a reply with no sources',
      reply: { ...R.CLEAN_HOME, sources: [] },
      note: null,
      incomplete: false,
      grey: true,
      headline: 'Nothing checked',
      said: /nothing that counts was checked/,
    },
  ];
  for (const c of cases) {
    it(c.name, async () => {
      const { page } = await openPage(browser.context);
      await scanWith(page, c.reply.ip, c.reply);
      const note = page.locator('#unknown-note');
      assert.equal(await note.isVisible(), c.note !== null);
      if (c.note) assert.match(await page.locator('#unknown-text').textContent(), c.note);
      assert.equal(await page.locator('#incomplete').isVisible(), c.incomplete);
      assert.equal(await page.locator('#verdict-heading').textContent(), c.headline);
      await page.waitForFunction(() => !document.getElementById('announcer').textContent.startsWith('Scan started') &&
        document.getElementById('announcer').textContent !== '');
      assert.match(await page.locator('#announcer').textContent(), c.said);
      // An incomplete "Clean" is not painted as good news.
      const cls = await page.locator('#summary').getAttribute('class');
      assert.equal(cls.includes('tone-none'), c.incomplete || c.grey === true, cls);
      await page.close();
    });
  }
});

describe('why, and what now', () => {
  const spamhaus = (page) => page.locator('.src', { hasText: 'Spamhaus' }).locator('.why-body');
  it('a blocklist that could not be asked says why, and what to do about it', async () => {
    const cases = [
      ['refused: queries via public DNS resolvers are blocked', /public DNS resolvers\. Use your own resolver or your provider’s/],
      ['refused: resolver sent too many queries', /more lookups than it allows\. Use your own resolver or your provider’s/],
      ['refused: malformed query', /could not read the lookup/],
      ['refused by the list', /use your own resolver or your provider’s/],
      ['refused via your DNS server; direct query failed', /own name servers could not be asked directly/],
      ['list out of service (its test entry is missing)', /fails its own test lookup/],
      ['list answers every address', /says every address is listed/],
      ['time-out', /Check the internet connection/],
    ];
    const { page, problems } = await openPage(browser.context);
    for (const [reason, want] of cases) {
      const reply = R.scanResult({ ip: '192.0.2.1', score: 0, verdict: 'Clean', statuses: { spamhaus: ['unknown', reason] } });
      await scanWith(page, '192.0.2.1', reply);
      await page.locator('.src', { hasText: 'Spamhaus' }).getByText('Why unknown').click();
      assert.match(await spamhaus(page).textContent(), want, reason);
      assert.match(await spamhaus(page).textContent(), /adds nothing to the score/, reason);
    }
    assert.deepEqual(problems, []);
    await page.close();
  });

  it('a flagged list shows its own page to copy; Copy puts that, the summary and the raw reply on the clipboard', async () => {
    await browser.context.grantPermissions(['clipboard-read', 'clipboard-write']);
    const { page, problems } = await openPage(browser.context);
    const clipboard = () => page.evaluate(() => navigator.clipboard.readText());
    await scanWith(page, '203.0.113.7', R.HIGH_RISK);
    assert.match(await page.locator('#advice').textContent(), /VPN or proxy exit: choose another server.*hosting is expected for servers.*fix the cause first.*removal/);
    assert.equal(await spamhaus(page).isVisible(), true);
    assert.equal(await spamhaus(page).locator('code').textContent(), 'https://check.spamhaus.org/');
    await spamhaus(page).getByRole('button', { name: /Copy/ }).click();
    assert.equal(await clipboard(), 'https://check.spamhaus.org/');

    await page.getByRole('button', { name: 'Copy summary' }).click();
    const text = await clipboard();
    assert.match(text, /^Velmora Checker result\nAddress: 203\.0\.113\.7\nVerdict: High risk\nRisk score: 82 of 100\nMode: deep\nSources:\n/);
    assert.match(text, /\n- ipinfo\.io: Flagged\n/);
    assert.match(text, /\n- SORBS: Unknown \(time-out\)\n/);
    assert.equal(text.split('\n- ').length - 1, 16);
    await page.getByRole('button', { name: 'Copy raw reply' }).click();
    assert.deepEqual(JSON.parse(await clipboard()), R.HIGH_RISK);
    assert.equal(page.url().endsWith('index.html'), true);
    assert.deepEqual(problems, []);
    await page.close();
  });
});

describe('replies that carry no result', () => {
  const cases = [
    {
      name: 'IP required after a scan with Auto IP off',
      setup: async (p) => ui.switch(p, /Auto IP/).click(),
      reply: R.IP_REQUIRED,
      title: 'IP required',
      lines: ['Enter an IP or enable auto IP discovery.'],
      tip: /Type an IPv4 address/,
      actions: ['Detect my IP', 'Turn on Auto IP'],
    },
    {
      name: 'IP required after Auto IP found nothing',
      setup: async () => {},
      reply: R.IP_REQUIRED,
      title: 'IP required',
      lines: ['Enter an IP or enable auto IP discovery.'],
      tip: /Auto IP was on, but your public address could not be found/,
      actions: ['Detect my IP'],
    },
    {
      name: 'a scan that failed',
      setup: async (p) => ui.address(p).fill('203.0.113.7'),
      reply: R.SCAN_FAILED,
      title: 'Scan failed',
      lines: ['The scan could not be completed.'],
      tip: /Nothing was scored/,
      actions: ['Scan again'],
    },
  ];
  for (const c of cases) {
    it(c.name, async () => {
      const { page, problems } = await openPage(browser.context);
      await c.setup(page);
      await ui.scan(page).click();
      await deliver(page, c.reply);
      assert.equal(await page.locator('#view-message').isVisible(), true);
      assert.equal(await page.locator('#view-result').isVisible(), false);
      assert.equal(await page.locator('#message-title').textContent(), c.title);
      assert.deepEqual(await page.locator('#message-lines li').allTextContents(), c.lines);
      assert.match(await page.locator('#message-tip').textContent(), c.tip);
      assert.deepEqual(await page.locator('#message-actions button').allTextContents(), c.actions);
      assert.equal(await ui.scan(page).isDisabled(), false);
      assert.deepEqual(problems, []);
      await page.close();
    });
  }

  it('the actions of the IP-required message do what they say', async () => {
    const { page } = await openPage(browser.context);
    await ui.switch(page, /Auto IP/).click();
    await ui.scan(page).click();
    await deliver(page, R.IP_REQUIRED);
    await page.locator('#message-actions').getByRole('button', { name: 'Turn on Auto IP' }).click();
    assert.equal(await ui.switch(page, /Auto IP/).isChecked(), true);
    await page.locator('#message-actions').getByRole('button', { name: 'Detect my IP' }).click();
    assert.equal((await posted(page)).at(-1), '{"type":"getIp"}');
    await page.close();
  });
});

describe('ipResult', () => {
  const cases = [
    { name: 'success fills the field', reply: R.IP_FOUND, field: '203.0.113.7', status: /^Your public address is 203\.0\.113\.7\.$/, cls: 'ok' },
    { name: 'failure keeps the field and says why', reply: R.IP_NOT_FOUND, field: '10.0.0.1', status: /^Could not discover public IP\. Check the connection/, cls: 'fail' },
    { name: 'success with an empty address is not taken', reply: { type: 'ipResult', ok: true, ip: '' }, field: '10.0.0.1', status: /answered without an address/, cls: 'fail' },
  ];
  for (const c of cases) {
    it(c.name, async () => {
      const { page, problems } = await openPage(browser.context);
      await ui.address(page).fill('10.0.0.1');
      await ui.detect(page).click();
      assert.equal(await ui.detect(page).isDisabled(), true);
      assert.match(await page.getByRole('status').first().textContent(), /Asking for your public address/);
      await deliver(page, c.reply);
      assert.equal(await ui.address(page).inputValue(), c.field);
      assert.match(await page.locator('#ip-status').textContent(), c.status);
      assert.ok((await page.locator('#ip-status').getAttribute('class')).includes(c.cls));
      assert.equal(await ui.detect(page).isDisabled(), false);
      assert.deepEqual(problems, []);
      await page.close();
    });
  }
});

describe('replies out of order', () => {
  it('an ipResult during a scan fills the field and leaves the scan running', async () => {
    const { page, problems } = await openPage(browser.context);
    await ui.address(page).fill('198.51.100.23');
    await ui.address(page).press('Enter');
    await ui.detect(page).click();
    await deliver(page, R.IP_FOUND);
    assert.equal(await ui.address(page).inputValue(), '203.0.113.7');
    assert.equal(await page.locator('#view-busy').isVisible(), true);
    assert.equal(await ui.scan(page).isDisabled(), true);

    // The result names the address that was scanned, not the one now in the field.
    await deliver(page, R.CLEAN_HOME);
    assert.equal(await page.locator('#r-ip').textContent(), '198.51.100.23');
    assert.equal(await page.locator('#verdict').textContent(), 'Clean');
    assert.equal(await ui.address(page).inputValue(), '203.0.113.7');
    assert.deepEqual(problems, []);
    await page.close();
  });

  it('a scanResult before the ipResult leaves detection waiting', async () => {
    const { page } = await openPage(browser.context);
    await ui.detect(page).click();
    await ui.scan(page).click();
    await deliver(page, R.HIGH_RISK);
    assert.equal(await page.locator('#view-result').isVisible(), true);
    assert.equal(await ui.detect(page).isDisabled(), true);
    await deliver(page, R.IP_FOUND);
    assert.equal(await ui.detect(page).isDisabled(), false);
    assert.equal(await page.locator('#view-result').isVisible(), true);
    await page.close();
  });

  it('messages of other kinds, and non-objects, change nothing', async () => {
    const { page, problems } = await openPage(browser.context);
    await ui.address(page).fill('203.0.113.7');
    await ui.address(page).press('Enter');
    for (const junk of [null, 42, 'hello', '{"type":"progress"}', { type: 'ScanResult', ok: true }, { ok: true }, []]) {
      await deliver(page, junk);
    }
    assert.equal(await page.locator('#view-busy').isVisible(), true);
    assert.equal(await ui.scan(page).isDisabled(), true);
    assert.deepEqual(problems, []);
    await page.close();
  });
});

describe('reply text stays text', () => {
  it('an address like <img src=x onerror=alert(1)> is shown as typed and runs nothing', async () => {
    const { page, problems } = await openPage(browser.context);
    const evil = R.XSS;
    const reply = R.scanResult({ ip: evil, score: 0, verdict: 'Clean' });
    reply.sources[1].name = `<b id="injected">${evil}</b>`;
    reply.sources[2].domain = evil;
    reply.sources[3] = { ...reply.sources[3], status: 'unknown', detail: `<script>window.__ran=1</script>` };
    await scanWith(page, evil, reply);
    await ui.scan(page).click();
    await deliver(page, { ...R.SCAN_FAILED, error: evil, logs: [evil] });
    await deliver(page, { type: 'ipResult', ok: false, error: evil });
    await scanWith(page, evil, reply);
    await deliver(page, { type: 'ipResult', ok: true, ip: evil });

    assert.equal(await page.locator('#r-ip').textContent(), evil);
    assert.equal(await page.locator('.src .name').nth(1).textContent(), `<b id="injected">${evil}</b>`);
    assert.equal((await page.locator('#logs li').first().textContent()).endsWith(evil), true);
    assert.equal(await ui.address(page).inputValue(), evil);
    assert.equal(await page.locator('img, #injected, script:not([nonce])').count(), 0);
    assert.equal(await page.evaluate(() => window.__ran), undefined);
    assert.deepEqual((await posted(page)).map((m) => JSON.parse(m).ip), [evil, evil, evil]);
    assert.deepEqual(problems, []);
    await page.close();
  });
});
