// What a player meets on each device: the roll history shows its rows when
// it opens, and every control of Setup Options has a name to be heard by.
import assert from 'node:assert/strict';
import {describe, test} from 'node:test';

import {
  ACTIVATION,
  TEMPLATES,
  TOOL_WINDOWS,
  clickControl,
  menuCommand,
  servedApp,
  waitForWindow,
  windowSelector,
  withStartedApp,
} from './support.mjs';

const app = servedApp();

const DEVICES = [
  {name: 'phone', viewport: {width: 390, height: 844, isMobile: true, hasTouch: true, deviceScaleFactor: 3}},
  {name: 'tablet', viewport: {width: 1024, height: 768, isMobile: true, hasTouch: true, deviceScaleFactor: 2}},
  {name: 'desktop', viewport: {width: 1366, height: 768}},
];

for (const device of DEVICES) {
  describe(`on a ${device.name}`, () => {
    test('the roll history shows as many rows as it has room for when it opens', async () => {
      await withStartedApp(app, {viewport: device.viewport}, async (page) => {
        for (let i = 0; i < 4; i++) await clickControl(page, TEMPLATES.activation, ACTIVATION.roll);
        const tool = TOOL_WINDOWS.find((w) => w.template === TEMPLATES.rollHistory);
        await menuCommand(page, tool.menu, tool.command);
        await waitForWindow(page, TEMPLATES.rollHistory);
        const shown = await page.$eval(`${windowSelector(TEMPLATES.rollHistory)} [role=listbox]`, (box) => {
          const rows = [...box.querySelectorAll('[role=option]')];
          const room = Math.floor(box.clientHeight / rows[0].offsetHeight);
          return {rows: rows.length, expected: Math.min(Number(rows[0].getAttribute('aria-setsize')), room)};
        });
        assert.ok(shown.expected >= 4, `four rolls or more in the history: ${shown.expected}`);
        assert.ok(shown.rows >= shown.expected, `${shown.rows} rows shown of ${shown.expected}`);
      });
    });
  });
}

test('every control of Setup Options has a name, the radios beside pictures too', async () => {
  await withStartedApp(app, {}, async (page) => {
    const tool = TOOL_WINDOWS.find((w) => w.template === TEMPLATES.setup);
    await menuCommand(page, tool.menu, tool.command);
    await waitForWindow(page, TEMPLATES.setup);
    const unnamed = await page.$$eval(
      `${windowSelector(TEMPLATES.setup)} input, ${windowSelector(TEMPLATES.setup)} select`,
      (controls) =>
        controls
          .filter((c) => !c.getAttribute('aria-label') && !c.closest('label')?.textContent.trim())
          .map((c) => c.dataset.control),
    );
    assert.deepEqual(unnamed, []);
  });
});
