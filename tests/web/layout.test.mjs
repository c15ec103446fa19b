// Every window fits a desktop screen and a phone held upright: each control
// lies wholly on the screen and no control or text is cut off.
import assert from 'node:assert/strict';
import {describe, test} from 'node:test';

import {
  ABOUT,
  NOTICE_TEMPLATE,
  OK,
  SETUP_SPECIAL_BUTTON,
  SPECIAL_TEMPLATE,
  TEMPLATES,
  TOOL_WINDOWS,
  clickControl,
  closeWindow,
  menuCommand,
  servedApp,
  waitForWindow,
  windowSelector,
} from './support.mjs';

const app = servedApp();

const VIEWPORTS = [
  {width: 1024, height: 768},
  // A tablet held sideways: the windows are drawn larger for a finger.
  {width: 1024, height: 768, isMobile: true, hasTouch: true, deviceScaleFactor: 2},
  {width: 390, height: 844, isMobile: true, hasTouch: true, deviceScaleFactor: 3},
];

// What does not fit in the window of `template` (and in the frame's menu bar
// and strip): controls not wholly on the screen (on a phone, whose windows
// scroll, not wholly across it), and controls or texts whose content is
// larger than their box. Lists that scroll and charts are left out of the
// second.
async function misfits(page, template) {
  return page.$eval(windowSelector(template), (window) => {
    const scrolls = matchMedia('(max-width: 599.98px)').matches;
    const found = [];
    const name = (element) =>
      element.dataset.control ?? element.dataset.command ?? element.textContent.trim().slice(0, 30);
    const shown = (element) => element.checkVisibility();
    const controls = [
      ...window.querySelectorAll('[data-control]'),
      ...document.querySelectorAll('#menubar .menu-title, #strip button'),
    ];
    for (const control of controls.filter(shown)) {
      const box = control.getBoundingClientRect();
      if (box.left < 0 || box.right > innerWidth || (!scrolls && (box.top < 0 || box.bottom > innerHeight)))
        found.push(`${name(control)} off the screen at ${[box.left, box.top, box.right, box.bottom].map(Math.round)}`);
    }
    const texts = [...window.querySelectorAll('[data-control], div.text, label')].filter(
      (e) => shown(e) && !e.matches('[role=listbox], .chart, img, input[type=checkbox], input[type=radio]'),
    );
    for (const text of texts) {
      if (text.scrollWidth > text.clientWidth || text.scrollHeight > text.clientHeight)
        found.push(
          `${name(text)} cut off: ${text.scrollWidth}x${text.scrollHeight} in ${text.clientWidth}x${text.clientHeight}`,
        );
    }
    return found;
  });
}

async function fits(page, template, where) {
  await waitForWindow(page, template);
  assert.deepEqual(await misfits(page, template), [], `window ${template} at ${where}`);
}

for (const viewport of VIEWPORTS) {
  const where = `${viewport.width}x${viewport.height}${viewport.hasTouch ? ' by touch' : ''}`;
  describe(`at ${where}`, () => {
    test('every window, one at a time', async () => {
      const {context, page} = await app.open({viewport});
      try {
        // Laid out for the screen's own width (a phone shows a page without
        // a viewport of its own zoomed out).
        assert.equal(await page.evaluate(() => innerWidth), viewport.width);
        // The start-up boxes, then the Activation window.
        for (const box of [ABOUT.template, NOTICE_TEMPLATE, TEMPLATES.setup]) {
          await fits(page, box, where);
          await clickControl(page, box, OK);
        }
        await fits(page, TEMPLATES.activation, where);
        await closeWindow(page, TEMPLATES.activation);

        for (const entry of TOOL_WINDOWS) {
          await menuCommand(page, entry.menu, entry.command);
          await fits(page, entry.template, where);
          if (entry.template === TEMPLATES.setup) {
            await clickControl(page, TEMPLATES.setup, SETUP_SPECIAL_BUTTON);
            await fits(page, SPECIAL_TEMPLATE, where);
            await closeWindow(page, SPECIAL_TEMPLATE);
          }
          await closeWindow(page, entry.template);
        }
      } finally {
        await context.close();
      }
    });
  });
}
