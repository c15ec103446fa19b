// Every window on a phone held upright, a tablet and two desktops: it fits
// the screen, nothing in it is cut off, under a finger its texts are big
// enough to read (16 px on a phone) and its targets to touch (44 px high),
// and axe-core finds nothing; on a phone one window at a time across the
// screen; the roll history shows its rows when it opens.
import assert from 'node:assert/strict';
import {createRequire} from 'node:module';
import {describe, test} from 'node:test';

import {
  ABOUT,
  ACTIVATION,
  DEVICES,
  NOTICE_TEMPLATE,
  OK,
  SETUP_SPECIAL_BUTTON,
  SPECIAL_TEMPLATE,
  TEMPLATES,
  TOOL_WINDOWS,
  clickControl,
  closeWindow,
  menuCommand,
  openTool,
  servedApp,
  shownWindows,
  waitForWindow,
  windowSelector,
  withStartedApp,
} from './support.mjs';

const axeSource = createRequire(import.meta.url).resolve('axe-core/axe.min.js');
const app = servedApp();

// What is wrong on the screen with the window of `template` (and the frame's
// menu bar and strip) on `device`: controls not wholly on the screen (on a
// phone, whose windows scroll, not wholly across it); controls or texts whose
// content is larger than their box (lists that scroll and charts aside); and
// under a finger, targets under 44 px high and, on a phone, texts under 16 px.
async function problems(page, template, device) {
  return page.$eval(
    windowSelector(template),
    (window, touch, text) => {
      const scrolls = matchMedia('(max-width: 599.98px)').matches;
      const found = [];
      const name = (e) => e.dataset.control ?? e.dataset.command ?? e.textContent.trim().slice(0, 30);
      const shown = (e) => e.checkVisibility();
      const all = (selector) => [...document.querySelectorAll(selector)].filter(shown);
      const within = (selector) => [...window.querySelectorAll(selector)].filter(shown);
      for (const control of [...within('[data-control]'), ...all('#menubar .menu-title, #strip button')]) {
        const box = control.getBoundingClientRect();
        if (box.left < 0 || box.right > innerWidth || (!scrolls && (box.top < 0 || box.bottom > innerHeight)))
          found.push(
            `${name(control)} off the screen at ${[box.left, box.top, box.right, box.bottom].map(Math.round)}`,
          );
      }
      for (const e of within('[data-control], div.text, label')) {
        if (e.matches('[role=listbox], .chart, img, input[type=checkbox], input[type=radio]')) continue;
        if (e.scrollWidth > e.clientWidth || e.scrollHeight > e.clientHeight)
          found.push(`${name(e)} cut off: ${e.scrollWidth}x${e.scrollHeight} in ${e.clientWidth}x${e.clientHeight}`);
      }
      if (!touch) return found;
      for (const e of [
        ...within('button, select, input.edit, label.check, label.radio, [role=listbox]'),
        ...all('#frame button'),
      ]) {
        const high = e.getBoundingClientRect().height;
        if (high < 43.5) found.push(`${name(e)} ${Math.round(high)} px high`);
      }
      const scale = window.getBoundingClientRect().width / window.offsetWidth;
      for (const e of within('*')) {
        const own = [...e.childNodes].some((n) => n.nodeType === 3 && n.data.trim());
        const size = parseFloat(getComputedStyle(e).fontSize) * scale;
        if (own && size < text) found.push(`"${e.textContent.trim().slice(0, 20)}" at ${size} px`);
      }
      return found;
    },
    !device.mouse,
    device.text ?? 0,
  );
}

async function axeViolations(page) {
  if (!(await page.evaluate(() => !!window.axe))) await page.addScriptTag({path: axeSource});
  return page.evaluate(async () => {
    const result = await window.axe.run(document, {
      runOnly: {type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22aa']},
      rules: {'target-size': {enabled: true}},
    });
    return result.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
  });
}

// Each window in turn: the start-up boxes, each alone and modal, then the
// Activation window with the frame's caption, then every tool window from
// the menu (and Special from Setup Options), checked by `check`.
async function everyWindow(page, check) {
  for (const box of [ABOUT.template, NOTICE_TEMPLATE, TEMPLATES.setup]) {
    await waitForWindow(page, box);
    assert.deepEqual(await shownWindows(page), [{template: box, modal: true}]);
    await check(box);
    await clickControl(page, box, OK);
  }
  await waitForWindow(page, TEMPLATES.activation);
  assert.deepEqual(await shownWindows(page), [{template: TEMPLATES.activation, modal: false}]);
  assert.equal(await page.$eval('#caption', (c) => c.textContent), 'TREVA! A VENK Assistant [Untitled]');
  assert.equal(await page.title(), 'TREVA! A VENK Assistant [Untitled]');
  assert.equal(await page.evaluate(() => performance.getEntriesByName('treva-first-window').length), 1);
  assert.equal(await page.$eval('#storage-notice', (n) => n.textContent.trim()), '', 'storage is kept');
  await closeWindow(page, TEMPLATES.activation);
  for (const entry of TOOL_WINDOWS) {
    await menuCommand(page, entry.menu, entry.command);
    await waitForWindow(page, entry.template);
    await check(entry.template);
    if (entry.template === TEMPLATES.setup) {
      await clickControl(page, TEMPLATES.setup, SETUP_SPECIAL_BUTTON);
      await waitForWindow(page, SPECIAL_TEMPLATE);
      await check(SPECIAL_TEMPLATE);
      await closeWindow(page, SPECIAL_TEMPLATE);
    }
    await closeWindow(page, entry.template);
  }
}

for (const device of DEVICES) {
  describe(`on a ${device.name}`, () => {
    test('every window fits, is big enough to read and touch, and axe-core finds nothing', async () => {
      const {page} = await app.open({viewport: device.viewport});
      // Laid out for the screen's own width (a phone shows a page without
      // a viewport of its own zoomed out).
      assert.equal(await page.evaluate(() => innerWidth), device.viewport.width);
      await everyWindow(page, async (template) => {
        assert.deepEqual(await problems(page, template, device), [], `window ${template}`);
        assert.deepEqual(await axeViolations(page), [], `window ${template}`);
      });
    });

    test('the roll history shows as many rows as it has room for when it opens, each whole', async () => {
      await withStartedApp(app, {viewport: device.viewport}, async (page) => {
        for (let i = 0; i < 4; i++) await clickControl(page, TEMPLATES.activation, ACTIVATION.roll);
        await openTool(page, TEMPLATES.rollHistory);
        const shown = await page.$eval(`${windowSelector(TEMPLATES.rollHistory)} [role=listbox]`, (box) => {
          const rows = [...box.querySelectorAll('[role=option]')];
          const room = Math.floor(box.clientHeight / rows[0].offsetHeight);
          const cut = rows.filter((r) => r.scrollWidth > r.clientWidth || r.scrollHeight > r.clientHeight);
          return {
            rows: rows.length,
            expected: Math.min(Number(rows[0].getAttribute('aria-setsize')), room),
            cut: cut.map((r) => r.textContent),
          };
        });
        assert.ok(shown.expected >= 4, `four rolls or more in the history: ${shown.expected}`);
        assert.ok(shown.rows >= shown.expected, `${shown.rows} rows shown of ${shown.expected}`);
        assert.deepEqual(shown.cut, [], 'rows cut short');
      });
    });
  });
}

describe('on a phone', () => {
  const phone = DEVICES[0].viewport;
  const shownTools = async (page) => (await shownWindows(page)).filter((w) => !w.modal).map((w) => w.template);
  const openList = (page) =>
    page.$$eval('#open-windows button', (buttons) =>
      buttons.filter((b) => b.checkVisibility()).map((b) => [b.textContent, b.getAttribute('aria-pressed')]),
    );

  test('one window at a time across the screen, and the list of open windows switches between them', async () => {
    await withStartedApp(app, {viewport: phone}, async (page) => {
      await openTool(page, TEMPLATES.dieStats);
      assert.deepEqual(await shownTools(page), [TEMPLATES.dieStats]);
      const width = await page.$eval(windowSelector(TEMPLATES.dieStats), (w) => w.getBoundingClientRect().width);
      assert.ok(width >= phone.width - 16 && width <= phone.width, `the window is ${width} px wide`);
      assert.deepEqual(await openList(page), [
        ['Activation', 'false'],
        ['Die Stats', 'true'],
      ]);

      await page.click('#open-windows button[aria-pressed=false]');
      await waitForWindow(page, TEMPLATES.activation);
      assert.deepEqual(await shownTools(page), [TEMPLATES.activation]);
      await clickControl(page, TEMPLATES.activation, ACTIVATION.roll);

      // Closed, the window gives the screen back to the one left open.
      await closeWindow(page, TEMPLATES.activation);
      await waitForWindow(page, TEMPLATES.dieStats);
      assert.deepEqual(await openList(page), [['Die Stats', 'true']]);
    });
  });
});
