// Scenario files in the browser (opened through the file chooser, saved as a
// download, compared with what treva-cli reads in them) and the scenario
// kept in the browser's storage: across a reload, offline, and when storage
// is refused.
import assert from 'node:assert/strict';
import {existsSync, mkdtempSync, readFileSync, readdirSync, writeFileSync} from 'node:fs';
import {rm} from 'node:fs/promises';
import {tmpdir} from 'node:os';
import path from 'node:path';
import {after, describe, test} from 'node:test';

import {waitForReady, webDir} from '../../web/lib/browser.mjs';
import {startStaticServer} from '../../web/lib/static_server.mjs';
import {
  ACTIVATION,
  COMMANDS,
  DIE_STATS,
  OPEN_COMMAND,
  SAVE_AS_COMMAND,
  SAVE_COMMAND,
  TEMPLATES,
  clickControl,
  controlSelector,
  controlText,
  finishStartUp,
  menuCommand,
  openTool,
  runCli,
  servedApp,
  shownWindows,
  windowSelector,
  withStartedApp,
} from './support.mjs';

const app = servedApp();

const scratch = mkdtempSync(path.join(tmpdir(), 'treva-web-files-'));
after(async () => {
  await rm(scratch, {recursive: true, force: true});
});

// Without the file system access pickers the page falls back on the file
// chooser and on downloads, which the tests can answer.
function withoutFilePickers(page) {
  return page.evaluateOnNewDocument(() => {
    for (const name of ['showOpenFilePicker', 'showSaveFilePicker', 'showDirectoryPicker']) {
      delete window[name];
      delete Window.prototype[name];
    }
  });
}

// The download `name` in `folder`, once it is whole (Chromium gives a
// download its name when it has written it all).
async function downloaded(folder, name) {
  const file = path.join(folder, name);
  for (let waited = 0; !existsSync(file); waited += 100) {
    assert.ok(waited < 30000, `no download ${name}; there are ${readdirSync(folder)}`);
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  return file;
}

const caption = (page) => page.$eval('#caption', (c) => c.textContent);
const rollTotal = async (page) => Number(await controlText(page, TEMPLATES.dieStats, DIE_STATS.oneDieTotal));

// Rolls in the Activation window, each over once Die Stats (opened beside it
// first) has counted its die.
async function roll(page, times = 1) {
  if (!(await shownWindows(page)).some((w) => w.template === TEMPLATES.dieStats))
    await openTool(page, TEMPLATES.dieStats);
  for (let i = 0; i < times; i++) {
    const total = await rollTotal(page);
    await clickControl(page, TEMPLATES.activation, ACTIVATION.roll);
    await page.waitForFunction(
      (selector, old) => Number(document.querySelector(selector).textContent.trim() || 0) > old,
      {},
      controlSelector(TEMPLATES.dieStats, DIE_STATS.oneDieTotal),
      total,
    );
  }
}

// The rows the Roll History window lists.
async function historyRows(page) {
  await openTool(page, TEMPLATES.rollHistory);
  return page.$$eval(`${windowSelector(TEMPLATES.rollHistory)} [data-control]`, (controls) =>
    controls.map((c) => c.listState?.count).find((n) => n !== undefined),
  );
}

// What treva-cli reads in a scenario file.
const readByCli = async (scenario) => JSON.parse(await runCli('--scenario', scenario, 'show'));

// A saved scenario holds the rolls the page counts, and the history beside
// it the rows the page's Roll History lists.
async function assertHoldsShown(page, scenario) {
  const read = await readByCli(scenario);
  assert.equal(read.stats.oneDieRolls, await rollTotal(page), `the rolls in ${scenario}`);
  const history = JSON.parse(await runCli('--scenario', scenario, 'history', '--json'));
  assert.equal(history.length, await historyRows(page), `the history beside ${scenario}`);
  return read;
}

// Save As in the page's own box, answered with `name`.
async function saveAsDownload(page, name) {
  await menuCommand(page, 'File', SAVE_AS_COMMAND);
  await page.locator('dialog.message[data-kind=save-as][open] input').fill(name);
  await page.click('dialog.message[data-kind=save-as][open] button[data-answer=save]');
}

// The text of the page's message box of `kind`, once it is up.
const messageText = (page, kind) =>
  page
    .locator(`dialog.message[data-kind=${kind}][open] .message-text`)
    .map((text) => text.textContent)
    .wait();

describe('saved as downloads', () => {
  test('a file opened from the chooser is saved under its name, and under the name Save As gives, each with its history; a fresh browser opens the two together', async () => {
    const original = path.join(scratch, 'june.trv');
    await runCli('new', original);
    const downloads = mkdtempSync(path.join(scratch, 'downloads-'));
    const {context, page} = await app.open({beforeLoad: withoutFilePickers});
    const session = await app.browser.target().createCDPSession();
    await session.send('Browser.setDownloadBehavior', {
      behavior: 'allow',
      browserContextId: context.id,
      downloadPath: downloads,
    });
    await finishStartUp(page);
    const [chooser] = await Promise.all([page.waitForFileChooser(), menuCommand(page, 'File', OPEN_COMMAND)]);
    await chooser.accept([original]);
    await page.waitForFunction(() => document.querySelector('#caption').textContent === 'TREVA! (june)');
    await roll(page, 2);

    // Save downloads the opened file again, with no question.
    await menuCommand(page, 'File', SAVE_COMMAND);
    const june = await downloaded(downloads, 'june.trv');
    await downloaded(downloads, 'june.history.txt');
    const read = await assertHoldsShown(page, june);
    assert.deepEqual(read.scenario, (await readByCli(original)).scenario, 'the settings as opened');

    // Save As gives the name ".trv" if it lacks it; the caption shows the name whole.
    await roll(page);
    await saveAsDownload(page, 'july (1.2)');
    const july = await downloaded(downloads, 'july (1.2).trv');
    const julyHistory = await downloaded(downloads, 'july (1.2).history.txt');
    await assertHoldsShown(page, july);
    assert.equal(await caption(page), 'TREVA! (july (1.2))');

    // The name and the history are kept across a reload too.
    await page.reload();
    await waitForReady(page);
    await finishStartUp(page);
    assert.equal(await caption(page), 'TREVA! (july (1.2))');
    const rows = await historyRows(page);

    // A fresh browser opens the two downloads together: the history comes along.
    const {page: again} = await app.open({beforeLoad: withoutFilePickers});
    await finishStartUp(again);
    const [other] = await Promise.all([again.waitForFileChooser(), menuCommand(again, 'File', OPEN_COMMAND)]);
    await other.accept([july, julyHistory]);
    await again.waitForFunction(() => document.querySelector('#caption').textContent === 'TREVA! (july (1.2))');
    assert.equal(await historyRows(again), rows);
  });

  test("Exit's question says the browser keeps the changes whatever the answer, and it does", async () => {
    await withStartedApp(app, {}, async (page) => {
      await roll(page);
      const unsaved = await rollTotal(page);
      const shown = await caption(page);
      assert.match(shown, /^\*/, 'a roll is a change to save');
      await menuCommand(page, 'File', COMMANDS.exit);
      assert.match(
        await messageText(page, 'save-changes'),
        /^Save changes to Untitled\? Don't Save leaves the file as it was, but this browser still keeps the scenario as it is now, changes and all/,
      );
      await page.click('dialog.message[data-kind=save-changes][open] button[data-answer=dont-save]');
      await page.waitForSelector('#ended', {visible: true});

      await page.reload();
      await waitForReady(page);
      await finishStartUp(page);
      assert.equal(await caption(page), shown, 'the changes are taken up, still unsaved');
      await openTool(page, TEMPLATES.dieStats);
      assert.equal(await rollTotal(page), unsaved);
    });
  });
});

// The file system access pickers, answered by file handles of the test's
// own making: the page reads the scenario from the handle it opened and
// writes back through it, as it would to the player's file on disk. Save
// As names the scenario july.trv; a history is saved under the name
// proposed for it; the handle of `refused` will not be written.
function withFilePickers(page, opened, {refused = ''} = {}) {
  return page.evaluateOnNewDocument(
    (openedBase64, refusedName) => {
      const log = (window.pickerLog = {asked: [], written: {}});
      const handle = (name, bytes) => ({
        kind: 'file',
        name,
        getFile: async () => new File([bytes ?? new Uint8Array()], name),
        createWritable: async () => {
          if (name === refusedName) throw new DOMException('The file is read-only', 'NoModificationAllowedError');
          const parts = [];
          return {
            write: async (data) => parts.push(...new Uint8Array(data)),
            close: async () => {
              log.written[name] = btoa(String.fromCharCode(...parts));
            },
          };
        },
      });
      const scenario = Uint8Array.from(atob(openedBase64), (c) => c.charCodeAt(0));
      window.showOpenFilePicker = async () => {
        log.asked.push('open');
        return [handle('june.trv', scenario)];
      };
      window.showSaveFilePicker = async (options) => {
        log.asked.push(`save ${options.suggestedName}` + (options.startIn ? ` beside ${options.startIn.name}` : ''));
        return handle(options.suggestedName.endsWith('.history.txt') ? options.suggestedName : 'july.trv');
      };
    },
    opened.toString('base64'),
    refused,
  );
}

// The scenario and the history the page wrote through the handles of
// `name`.trv and `name`.history.txt, copied where treva-cli reads them.
async function writtenThroughHandles(page, name) {
  const copy = path.join(scratch, `${name}-written`);
  for (const suffix of ['.trv', '.history.txt']) {
    const written = await page.waitForFunction((n) => window.pickerLog.written[n], {}, name + suffix);
    writeFileSync(copy + suffix, Buffer.from(await written.jsonValue(), 'base64'));
    await written.dispose();
  }
  return `${copy}.trv`;
}

// The page asks where the history goes before the picker, which opens only from a click.
async function answerHistoryPlace(page, answer) {
  const button = `dialog.message[data-kind=history-place][open] button[data-answer=${answer}]`;
  await page.waitForSelector(button, {visible: true});
  await page.click(button);
}

// A page whose Open picker hands over a fresh scenario from treva-cli
// (`original`, named june.trv in the page), opened past the start-up boxes.
async function openedThroughPicker(name, options) {
  const original = path.join(scratch, name);
  await runCli('new', original);
  const opened = await app.open({beforeLoad: (p) => withFilePickers(p, readFileSync(original), options)});
  await finishStartUp(opened.page);
  await menuCommand(opened.page, 'File', OPEN_COMMAND);
  await opened.page.waitForFunction(() => document.querySelector('#caption').textContent === 'TREVA! (june)');
  return {original, ...opened};
}

describe('scenario files through the file system access pickers', () => {
  test('the opened file and its history are saved back in place; Save As writes both where the player names', async () => {
    const {original, page} = await openedThroughPicker('june-picked.trv');
    await roll(page);
    await menuCommand(page, 'File', SAVE_COMMAND);
    await answerHistoryPlace(page, 'choose');
    const read = await assertHoldsShown(page, await writtenThroughHandles(page, 'june'));
    assert.deepEqual(read.scenario, (await readByCli(original)).scenario, 'the settings as opened');

    await roll(page);
    await menuCommand(page, 'File', SAVE_AS_COMMAND);
    await answerHistoryPlace(page, 'choose');
    await page.waitForFunction(() => document.querySelector('#caption').textContent === 'TREVA! (july)');
    await assertHoldsShown(page, await writtenThroughHandles(page, 'july'));
    assert.deepEqual(await page.evaluate(() => window.pickerLog.asked), [
      'open',
      'save june.history.txt beside june.trv',
      'save vs. Russian (1-39).trv',
      'save july.history.txt beside july.trv',
    ]);
  });

  test('a file the browser will not write, or a history given no place, is told; neither file changes and the scenario is still kept', async () => {
    const cases = [
      {
        refused: 'june.history.txt',
        told: /^Could not save "june\.trv": its roll history "june\.history\.txt" could not be written: The file is read-only\. Neither file was changed; the scenario is still kept/,
        written: {},
      },
      // The history written first is put back as it was (empty, as the picker left it).
      {
        refused: 'june.trv',
        told: /^Could not save "june\.trv": The file is read-only\. Neither file was changed/,
        written: {'june.history.txt': ''},
      },
      {
        answer: 'cancel',
        told: /^Nothing was written to "june\.trv": the scenario goes with its roll history\. The scenario is still kept/,
        written: {},
      },
    ];
    for (const [at, {refused, answer = 'choose', told, written}] of cases.entries()) {
      const {context, page} = await openedThroughPicker(`june-refused-${at}.trv`, {refused});
      await roll(page);
      await menuCommand(page, 'File', SAVE_COMMAND);
      await answerHistoryPlace(page, answer);
      assert.match(await messageText(page, 'error'), told);
      assert.deepEqual(await page.evaluate(() => window.pickerLog.written), written);
      // What the page kept has the roll, though the files could not take it.
      const kept = path.join(scratch, 'june-kept.trv');
      writeFileSync(kept, Buffer.from(await page.evaluate(() => localStorage.getItem('treva.scenario')), 'base64'));
      assert.equal((await readByCli(kept)).stats.oneDieRolls, await rollTotal(page));
      await context.close();
    }
  });

  test('a file the page cannot read is told once, not after every click', async () => {
    const {page} = await openedThroughPicker('june-unreadable.trv');
    await openTool(page, TEMPLATES.dieStats);
    // A file the page may not read: it is told after the next command.
    await page.evaluate(() => FS.chmod('june.trv', 0));
    await menuCommand(page, 'Edit', COMMANDS.dieStats);
    assert.match(
      await messageText(page, 'error'),
      /^Could not save "june\.trv": the page cannot read what TREVA wrote/,
    );
    await page.click('dialog.message[data-kind=error][open] button');
    await roll(page, 2);
    await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve))));
    assert.equal(await page.$('dialog.message[open]'), null, 'told once');
    assert.deepEqual(await page.evaluate(() => window.pickerLog.written), {});
  });
});

describe('the page kept', () => {
  // That they are kept for offline use is the precache list's own test.
  test("the page's script is one file, fetched once", async () => {
    const {page} = await app.open();
    // A module preloaded or imported beside the bundle would be fetched for nothing.
    const fetched = await page.evaluate(() =>
      performance.getEntriesByType('resource').map((entry) => new URL(entry.name).pathname),
    );
    assert.deepEqual(
      fetched.filter((name) => /^\/(page\.js$|js\/)/.test(name)),
      ['/page.js'],
    );
  });

  test('after a first visit the page starts again offline, and F1 opens the guide', async () => {
    // A server of its own: stopping it takes the network away for good.
    const server = await startStaticServer(webDir());
    try {
      const {context, page} = await app.open({}, server.url);
      // The service worker is installed, with what it keeps.
      await page.waitForFunction(() => navigator.serviceWorker.ready.then(() => true), {timeout: 30000});
      await page.setOfflineMode(true);
      await server.close();
      await page.reload();
      await waitForReady(page);
      await finishStartUp(page);
      // F1 opens the guide, kept with the page, rather than a second TREVA.
      const guideOpened = new Promise((resolve) => context.once('targetcreated', resolve));
      await page.keyboard.press('F1');
      const guide = await (await guideOpened).page();
      await guide.waitForFunction(() => document.readyState === 'complete');
      assert.equal(await guide.title(), 'TREVA Guide');
    } finally {
      await server.close();
    }
  });

  test('a second tab says TREVA is open elsewhere; taking over stops the first, with every roll kept', async () => {
    const {context, page} = await app.open();
    await finishStartUp(page);
    await roll(page);
    const rolled = await rollTotal(page);
    const second = await context.newPage();
    await second.goto(page.url());
    assert.match(
      await messageText(second, 'open-elsewhere'),
      /^TREVA is open in another tab or window of this browser/,
    );
    assert.equal(await second.$('.window'), null, 'the second does not start before it is told to');
    await second.click('dialog.message[data-kind=open-elsewhere][open] button[data-answer=take-over]');
    await page.waitForSelector('dialog.message[data-kind=taken-over][open]');
    await waitForReady(second);
    await finishStartUp(second);
    await openTool(second, TEMPLATES.dieStats);
    assert.equal(await rollTotal(second), rolled);
    // The first keeps nothing more, so the second's rolls stay.
    await roll(second);
    const kept = await second.evaluate(() => localStorage.getItem('treva.scenario'));
    assert.equal(await page.evaluate(() => TrevaPage.keep(new Uint8Array(144), new Uint8Array(144), '', '')), false);
    assert.equal(await second.evaluate(() => localStorage.getItem('treva.scenario')), kept);
  });

  // Counts the changes to the storage notice, so that a notice told again
  // with the same words is seen.
  const watchStorageNotice = (page) =>
    page.evaluateOnNewDocument(() => {
      window.noticeChanges = 0;
      new MutationObserver((records) => {
        for (const record of records) {
          const node = record.target.nodeType === Node.ELEMENT_NODE ? record.target : record.target.parentElement;
          if (node?.closest('#storage-notice')) window.noticeChanges += 1;
        }
      }).observe(document, {subtree: true, childList: true, characterData: true, attributes: true});
    });
  const notice = (page) => page.$eval('#storage-notice', (n) => n.textContent.trim());

  test('storage that refuses the history or the scenario is told once and keeps both as they were: the two never disagree', async () => {
    for (const refusedKey of ['treva.history', 'treva.scenario']) {
      const refuse = async (page) => {
        await watchStorageNotice(page);
        await page.evaluateOnNewDocument((refusedKey) => {
          const setItem = Storage.prototype.setItem;
          Storage.prototype.setItem = function (key, value) {
            if (key === refusedKey && window.refusing) throw new DOMException('full', 'QuotaExceededError');
            return setItem.call(this, key, value);
          };
        }, refusedKey);
      };
      await withStartedApp(app, {beforeLoad: refuse}, async (page) => {
        const kept = () =>
          page.evaluate(() => [localStorage.getItem('treva.scenario'), localStorage.getItem('treva.history')]);
        await roll(page);
        const before = await kept();
        await page.evaluate(() => (window.refusing = true));
        await roll(page);
        await page.waitForFunction(() =>
          document.querySelector('#storage-notice').textContent.includes('storage is full'),
        );
        const changes = await page.evaluate(() => window.noticeChanges);
        await roll(page, 2);
        // Whatever the page does after a change has run once the next frame is drawn.
        await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve))));
        assert.equal(await page.evaluate(() => window.noticeChanges), changes, 'the notice is not told again');
        assert.deepEqual(await kept(), before, `${refusedKey} refused: the kept scenario and history as they were`);
      });
    }
  });

  test('storage the browser will not open at all is told, and the page goes on', async () => {
    // As a browser whose settings block the site's storage does it.
    const blockStorage = (page) =>
      page.evaluateOnNewDocument(() => {
        Object.defineProperty(window, 'localStorage', {
          get() {
            throw new DOMException('The site may not keep data', 'SecurityError');
          },
        });
      });
    await withStartedApp(app, {beforeLoad: blockStorage}, async (page) => {
      assert.match(await notice(page), /storage is turned off/);
      // The roll is counted: the page goes on.
      await roll(page);
    });
  });
});
