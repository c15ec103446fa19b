// The page's frame and windows as a person meets them: every window from the
// menu and from the strip, and what a screen reader hears (start-up is the
// layout test's, on every device).
// What the controls show after input is the drive sessions' (web/drive).
import assert from 'node:assert/strict';
import {describe, test} from 'node:test';

import {
  ABOUT,
  ACTIVATION,
  DIE_STATS,
  NOTICE_TEMPLATE,
  OK,
  SCENARIO_COMMAND,
  TEMPLATES,
  TOOL_WINDOWS,
  clickControl,
  closeWindow,
  controlSelector,
  finishStartUp,
  menuCommand,
  openTool,
  servedApp,
  shownWindows,
  stripCommand,
  waitForWindowGone,
  windowSelector,
  withStartedApp,
} from './support.mjs';

const app = servedApp();

describe('tool windows', () => {
  test('every tool window opens from its menu, in sight of the others; one asked for again comes to the front; each opens where the player left it after a reload', async () => {
    await withStartedApp(app, {viewport: {width: 1366, height: 768}}, async (page) => {
      // The Activation window is up after start-up: closed first, so that it
      // too is seen to open from its menu.
      await closeWindow(page, TEMPLATES.activation);
      for (const entry of TOOL_WINDOWS) await openTool(page, entry.template);
      // Tool windows with a title, in the order they opened, each above the
      // ones before: no caption more than half hidden.
      const shown = await page.$$eval('.window', (windows) => {
        const box = (e) => e.getBoundingClientRect();
        const bars = windows.map((w) => box(w.querySelector('.titlebar')));
        return windows.map((w, i) => ({
          template: Number(w.dataset.template),
          modal: w.matches('dialog.modal'),
          titled: Boolean(w.querySelector('.titlebar .title')?.textContent.trim()),
          hidden: windows.slice(i + 1).reduce((most, later) => {
            const r = box(later),
              bar = bars[i];
            const across = Math.min(r.right, bar.right) - Math.max(r.left, bar.left);
            const covers = r.top < bar.bottom && r.bottom > bar.top && across > 0;
            return Math.max(most, covers ? across / bar.width : 0);
          }, 0),
        }));
      });
      assert.equal(shown.length, TOOL_WINDOWS.length);
      for (const {template, modal, titled, hidden} of shown) {
        assert.ok(!modal && titled, `window ${template} is a tool window with a title`);
        assert.ok(hidden <= 0.5, `caption of window ${template} hidden ${hidden}`);
      }

      // The chart laid over the history; then the history asked for again
      // comes to the front.
      const history = windowSelector(TEMPLATES.rollHistory);
      await page.$eval(
        windowSelector(TEMPLATES.diceChart),
        (chart, below) => {
          chart.style.left = `${document.querySelector(below).offsetLeft}px`;
          chart.style.top = `${document.querySelector(below).offsetTop}px`;
        },
        history,
      );
      const onTop = () =>
        page.$eval(history, (w) => {
          const box = w.getBoundingClientRect();
          return Number(document.elementFromPoint(box.left + 10, box.top + 10)?.closest('.window')?.dataset.template);
        });
      assert.equal(await onTop(), TEMPLATES.diceChart);
      await openTool(page, TEMPLATES.rollHistory);
      assert.equal(await onTop(), TEMPLATES.rollHistory);

      const bar = await (await page.$(`${windowSelector(TEMPLATES.activation)} .titlebar .title`)).boundingBox();
      await page.mouse.move(bar.x + 20, bar.y + 5);
      await page.mouse.down();
      await page.mouse.move(bar.x + 220, bar.y + 125, {steps: 4});
      await page.mouse.up();
      const left = await page.$eval(windowSelector(TEMPLATES.activation), (w) => [w.offsetLeft, w.offsetTop]);
      await closeWindow(page, TEMPLATES.activation); // its place is kept as it closes
      await page.reload();
      await finishStartUp(page);
      assert.deepEqual(
        await page.$eval(windowSelector(TEMPLATES.activation), (w) => [w.offsetLeft, w.offsetTop]),
        left,
      );
    });
  });

  test('the About box and the notice from the menu and from the strip; every strip button opens its window; a grayed menu item is a disabled button', async () => {
    await withStartedApp(app, {}, async (page) => {
      // The About box and the notice follow each other as modal boxes.
      const aboutBoxes = async (open) => {
        await open();
        for (const box of [ABOUT.template, NOTICE_TEMPLATE]) {
          await page.waitForSelector(`dialog.modal[open]${windowSelector(box)}`, {visible: true});
          await clickControl(page, box, OK);
          await waitForWindowGone(page, box);
        }
      };
      await aboutBoxes(() => menuCommand(page, ABOUT.menu, ABOUT.command));
      // Each window is closed again, so that the next is seen to open.
      await closeWindow(page, TEMPLATES.activation);

      const strip = await page.$$eval('#strip button', (buttons) =>
        buttons.map((b) => ({command: Number(b.dataset.command), label: b.getAttribute('aria-label')})),
      );
      assert.equal(strip.length, 7);
      for (const {command, label} of strip) {
        assert.ok(label, `strip button ${command} has a name`);
        if (command === ABOUT.command) {
          await aboutBoxes(() => stripCommand(page, command));
          continue;
        }
        const entry = TOOL_WINDOWS.find((w) => w.command === command);
        assert.ok(entry, `strip button ${command} opens a tool window`);
        await stripCommand(page, command);
        await closeWindow(page, entry.template);
      }

      // Windows > Scenario... is always grayed.
      const scenarioItem = `[role=menu][data-menu="Windows"] [data-command="${SCENARIO_COMMAND}"]`;
      assert.ok(await page.$eval(scenarioItem, (item) => item.disabled), 'Scenario... is a disabled button');
    });
  });

  test("Escape closes the roll history and the chart, and leaves the module's own tool windows open", async () => {
    await withStartedApp(app, {}, async (page) => {
      for (const template of [TEMPLATES.rollHistory, TEMPLATES.diceChart]) {
        await openTool(page, template);
        await page.focus(`${windowSelector(template)} button`);
        await page.keyboard.press('Escape');
        await waitForWindowGone(page, template);
      }
      await page.focus(`${windowSelector(TEMPLATES.activation)} button`);
      await page.keyboard.press('Escape');
      await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve))));
      assert.ok(
        (await shownWindows(page)).some((w) => w.template === TEMPLATES.activation),
        'the Activation window stays',
      );
    });
  });
});

describe('fields', () => {
  test('a screen reader hears each field by what it shows, and each result as it changes', async () => {
    await withStartedApp(app, {}, async (page) => {
      await openTool(page, TEMPLATES.dieStats);
      // What it is heard as: its role and its name.
      const heard = (template, id) =>
        page.$eval(controlSelector(template, id), (c) => [c.getAttribute('role'), c.getAttribute('aria-label')]);
      assert.deepEqual(await heard(TEMPLATES.activation, ACTIVATION.dr), ['status', 'Activation dr']);
      assert.equal((await heard(TEMPLATES.activation, ACTIVATION.level))[1], 'Level difference');
      assert.equal((await heard(TEMPLATES.dieStats, DIE_STATS.oneDieCount1))[1], 'dr 1 count');
    });
  });
});
