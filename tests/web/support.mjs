// What the browser tests share: the served page and one browser for a test
// file, and the page's windows, menus and controls found as a person finds
// them, through the page's document.
//
//   TREVA_WEB_DIR=build-web/web TREVA_CLI=build-ci/cli/treva-cli node --test tests/web/
//
// (those two are the defaults; $TREVA_CHROMIUM names another Chromium).
import assert from 'node:assert/strict';
import {execFile} from 'node:child_process';
import {existsSync} from 'node:fs';
import path from 'node:path';
import {after, afterEach, before} from 'node:test';
import {fileURLToPath, pathToFileURL} from 'node:url';
import {promisify} from 'node:util';

import {launchBrowser, openApp, webDir} from '../../web/lib/browser.mjs';
import {startStaticServer} from '../../web/lib/static_server.mjs';

const repository = path.join(path.dirname(fileURLToPath(import.meta.url)), '..', '..');

// The program's numbers (commands, templates, control ids), written by the
// build from its headers (tests/web/constants.cpp).
const constantsFile =
  process.env.TREVA_WEB_CONSTANTS || path.join(repository, 'build-web', 'tests', 'web-constants.mjs');
assert.ok(existsSync(constantsFile), `no ${constantsFile}: build the web preset (or set TREVA_WEB_CONSTANTS)`);
export const {
  COMMANDS,
  TEMPLATES,
  TOOL_WINDOWS,
  ABOUT,
  NOTICE_TEMPLATE,
  SPECIAL_TEMPLATE,
  OPEN_COMMAND,
  SAVE_COMMAND,
  SAVE_AS_COMMAND,
  SCENARIO_COMMAND,
  OK,
  ACTIVATION,
  DIE_STATS,
  SETUP_SPECIAL_BUTTON,
} = await import(pathToFileURL(constantsFile).href);

export async function runCli(...args) {
  const cli = process.env.TREVA_CLI || path.join(repository, 'build-ci', 'cli', 'treva-cli');
  assert.ok(existsSync(cli), `no treva-cli at ${cli} (set TREVA_CLI)`);
  const {stdout} = await promisify(execFile)(cli, args);
  return stdout;
}

// The devices the page is tried on. $TREVA_WEB_DEVICE names the one a test
// file's pages open on, unless a test asks for its own.
export const DEVICES = [
  {name: 'phone', viewport: {width: 390, height: 844, isMobile: true, hasTouch: true, deviceScaleFactor: 3}, text: 16},
  {name: 'tablet', viewport: {width: 1024, height: 768, isMobile: true, hasTouch: true, deviceScaleFactor: 2}},
  {name: 'desktop', viewport: {width: 1366, height: 768}, mouse: true},
  {name: 'small desktop', viewport: {width: 1024, height: 768}, mouse: true},
];

// One static server and one browser for the tests of a file; each test opens
// the page in browser contexts of its own, closed when the test ends,
// whatever it does.
export function servedApp() {
  const app = {};
  const contexts = [];
  before(async () => {
    const folder = webDir();
    assert.ok(
      existsSync(path.join(folder, 'index.html')),
      `no page in ${folder} (build the web preset, or set TREVA_WEB_DIR)`,
    );
    app.server = await startStaticServer(folder);
    app.url = app.server.url;
    app.browser = await launchBrowser();
  });
  after(async () => {
    await app.browser?.close();
    await app.server?.close();
  });
  afterEach(async () => {
    await Promise.all(contexts.splice(0).map((context) => context.close().catch(() => {})));
  });
  app.open = async (options, base = app.url) => {
    const device = DEVICES.find((d) => d.name === process.env.TREVA_WEB_DEVICE);
    const opened = await openApp(app.browser, base, {...(device && {viewport: device.viewport}), ...options});
    contexts.push(opened.context);
    return opened;
  };
  return app;
}

export const windowSelector = (template) => `.window[data-template="${template}"]`;
export const controlSelector = (template, id) => `${windowSelector(template)} [data-control="${id}"]`;

export async function waitForWindow(page, template) {
  return page.waitForSelector(windowSelector(template), {visible: true});
}

export async function waitForWindowGone(page, template) {
  await page.waitForSelector(windowSelector(template), {hidden: true});
}

// The templates of the windows on the screen, in document order, with
// whether each is an open modal box.
export async function shownWindows(page) {
  return page.$$eval('.window', (windows) =>
    windows
      .filter((w) => w.checkVisibility())
      .map((w) => ({template: Number(w.dataset.template), modal: w.matches('dialog.modal[open]')})),
  );
}

// What a control shows: an edit box's text, a list's chosen item, any other
// control's text.
export async function controlText(page, template, id) {
  return page.$eval(controlSelector(template, id), (control) => {
    if (control.matches('input[type=text]')) return control.value;
    if (control.matches('select')) return control.selectedOptions[0]?.text ?? '';
    return control.textContent.trim();
  });
}

// Whether another element lies over the middle of `element`, where a click
// on it lands.
function covered(element) {
  return element.evaluate((e) => {
    const box = e.getBoundingClientRect();
    const top = document.elementFromPoint(box.left + box.width / 2, box.top + box.height / 2);
    return !(top && (e === top || e.contains(top) || top.contains(e)));
  });
}

// A click on what `selector` finds, once it is on the screen, where nothing
// lies over it (a click there would land on something else).
async function clickOnTop(page, selector) {
  const element = await page.waitForSelector(selector, {visible: true});
  try {
    // A window taller than a phone's screen scrolls, as a finger would.
    await element.scrollIntoView();
    assert.equal(await covered(element), false, `${selector} lies under something else`);
    await element.click();
  } finally {
    await element.dispose();
  }
}

// A click on a control as a person makes it: on its window, brought forward
// first when another window lies over the control, or stands in front of
// it on a phone (a tool window by the command that opens it, a box by its
// title bar).
export async function clickControl(page, template, id) {
  const control = await page.waitForSelector(controlSelector(template, id));
  const behind = await control.evaluate((e) => {
    const window = e.closest('.window');
    return !window.hidden && getComputedStyle(window).display === 'none';
  });
  if (!behind) await control.scrollIntoView();
  const underAnother = behind || (await covered(control));
  await control.dispose();
  if (underAnother) {
    const tool = TOOL_WINDOWS.find((w) => w.template === template);
    if (tool) await menuCommand(page, tool.menu, tool.command);
    else await clickOnTop(page, `${windowSelector(template)} .titlebar .title`);
  }
  await clickOnTop(page, controlSelector(template, id));
}

export async function closeWindow(page, template) {
  const closeBox = `${windowSelector(template)} .titlebar button.close`;
  if (await page.$(closeBox).then((box) => box?.dispose().then(() => true))) await clickOnTop(page, closeBox);
  else await clickControl(page, template, OK);
  await waitForWindowGone(page, template);
}

// A tool window opened (or brought forward) from its menu.
export async function openTool(page, template) {
  const tool = TOOL_WINDOWS.find((w) => w.template === template);
  await menuCommand(page, tool.menu, tool.command);
  return waitForWindow(page, template);
}

export async function menuCommand(page, menu, command) {
  await clickOnTop(page, `#menubar button.menu-title[data-menu="${menu}"]`);
  await clickOnTop(page, `[role=menu][data-menu="${menu}"] [role=menuitem][data-command="${command}"]`);
}

export async function stripCommand(page, command) {
  await clickOnTop(page, `#strip button[data-command="${command}"]`);
}

// Start-up on a fresh page: the About box, the notice and (with no scenario
// kept) Setup Options, each answered with OK, until the Activation window
// is up.
export async function finishStartUp(page) {
  const startUpBoxes = [ABOUT.template, NOTICE_TEMPLATE, TEMPLATES.setup];
  for (;;) {
    // An open start-up box first: the Activation window may already lie under it.
    const shown = await page.waitForFunction(
      (boxes, activation) => {
        const box = document.querySelector('dialog.window.modal[open]');
        if (box) return boxes.includes(Number(box.dataset.template)) && Number(box.dataset.template);
        return document.querySelector(`.window[data-template="${activation}"]`)?.checkVisibility() && activation;
      },
      {},
      startUpBoxes,
      TEMPLATES.activation,
    );
    const template = await shown.jsonValue();
    await shown.dispose();
    if (template === TEMPLATES.activation) return;
    await clickControl(page, template, OK);
    await waitForWindowGone(page, template);
  }
}

// The page past its start-up boxes, handed to `body`.
export async function withStartedApp(app, options, body) {
  const {page} = await app.open(options);
  await finishStartUp(page);
  return body(page);
}
