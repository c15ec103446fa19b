// Scenario files in the browser (opened through the file chooser, saved as a
// download, compared with what treva-cli reads in them) and the scenario
// kept in the browser's storage: across a reload, offline, and when storage
// is refused.
import assert from 'node:assert/strict';
import {mkdtempSync, readFileSync, writeFileSync} from 'node:fs';
import {copyFile, readFile, readdir, rm} from 'node:fs/promises';
import {tmpdir} from 'node:os';
import path from 'node:path';
import {after, describe, test} from 'node:test';
import {fileURLToPath} from 'node:url';

import {openApp, waitForReady, webDir} from '../../web/lib/browser.mjs';
import {startStaticServer} from '../../web/lib/static_server.mjs';
import {
  ABOUT,
  ACTIVATION,
  COMMANDS,
  DIE_STATS,
  OPEN_COMMAND,
  SAVE_AS_COMMAND,
  SAVE_COMMAND,
  TEMPLATES,
  TOOL_WINDOWS,
  clickControl,
  controlText,
  finishStartUp,
  menuCommand,
  runCli,
  servedApp,
  shownWindows,
  waitForWindow,
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

// Downloads of a browser context go to `folder`; resolves to the path of the
// first finished download whose name ends in `suffix`.
async function downloadsInto(browser, context, folder) {
  const session = await browser.target().createCDPSession();
  await session.send('Browser.setDownloadBehavior', {
    behavior: 'allow',
    browserContextId: context.id,
    downloadPath: folder,
    eventsEnabled: true,
  });
  const names = new Map();
  const finished = [];
  const waiting = [];
  session.on('Browser.downloadWillBegin', (event) => names.set(event.guid, event.suggestedFilename));
  session.on('Browser.downloadProgress', (event) => {
    if (event.state !== 'completed') return;
    finished.push(names.get(event.guid));
    for (const waiter of waiting.splice(0)) waiter();
  });
  return {
    async next(suffix) {
      for (;;) {
        const name = finished.find((n) => n?.toLowerCase().endsWith(suffix));
        if (name) return path.join(folder, name);
        await new Promise((resolve) => waiting.push(resolve));
      }
    },
    detach: () => session.detach(),
  };
}

async function controlTexts(page, template) {
  return page.$$eval(`${windowSelector(template)} [data-control]`, (controls) =>
    Object.fromEntries(
      controls.map((c) => [
        c.dataset.control,
        c.matches('input[type=text]')
          ? c.value
          : c.matches('select')
            ? (c.selectedOptions[0]?.text ?? '')
            : c.textContent.trim(),
      ]),
    ),
  );
}

// A roll in the Activation window, over once Die Stats (open beside it) has
// counted its die.
async function rollActivation(page) {
  const total = Number((await controlText(page, TEMPLATES.dieStats, DIE_STATS.oneDieTotal)) || 0);
  await clickControl(page, TEMPLATES.activation, ACTIVATION.roll);
  await page.waitForFunction(
    (selector, old) => Number(document.querySelector(selector).textContent.trim() || 0) > old,
    {},
    `${windowSelector(TEMPLATES.dieStats)} [data-control="${DIE_STATS.oneDieTotal}"]`,
    total,
  );
}

async function openDieStats(page) {
  await menuCommand(page, 'Edit', COMMANDS.dieStats);
  await waitForWindow(page, TEMPLATES.dieStats);
}

describe('scenario files', () => {
  test('a scenario from treva-cli opened, rolled on and saved holds what the page showed; a reload keeps it', async () => {
    const original = path.join(scratch, 'june.trv');
    await runCli('new', original);
    const downloads = path.join(scratch, 'downloads');
    const {context, page} = await app.open({beforeLoad: withoutFilePickers});
    const saved = await downloadsInto(app.browser, context, downloads);
    try {
      await finishStartUp(page);
      const [chooser] = await Promise.all([page.waitForFileChooser(), menuCommand(page, 'File', OPEN_COMMAND)]);
      await chooser.accept([original]);
      await page.waitForFunction(() => document.querySelector('#caption').textContent === 'TREVA! (june)');
      assert.equal(await page.title(), 'TREVA! (june)');

      await waitForWindow(page, TEMPLATES.activation);
      await openDieStats(page);
      await rollActivation(page);
      await rollActivation(page);
      const shown = await controlTexts(page, TEMPLATES.dieStats);

      await menuCommand(page, 'File', SAVE_COMMAND);
      const file = await saved.next('.trv');
      assert.equal((await readFile(file)).length, 144);
      // treva-cli reads the page's file as the page showed it: the same Die
      // Stats, the same settings as the file it opened.
      const copy = path.join(scratch, 'copy.trv');
      await copyFile(file, copy);
      const dieStats = JSON.parse(await runCli('--scenario', copy, 'drive', '114'));
      for (const [id, control] of Object.entries(dieStats.controls))
        assert.equal(shown[id], control.text, `Die Stats control ${id}`);
      const read = JSON.parse(await runCli('--scenario', copy, 'show'));
      const before = JSON.parse(await runCli('--scenario', original, 'show'));
      assert.deepEqual(read.scenario, before.scenario);
      assert.ok(read.stats.oneDieRolls >= 2, 'both Activation rolls are counted');

      await page.reload();
      await waitForReady(page);
      await finishStartUp(page);
      assert.equal(await page.$eval('#caption', (c) => c.textContent), 'TREVA! (june)');
      await openDieStats(page);
      assert.deepEqual(await controlTexts(page, TEMPLATES.dieStats), shown, 'Die Stats after the reload');
    } finally {
      await saved.detach();
      await context.close();
    }
  });
});

// The page's Save As box, answered with `name` (the proposed one when null).
async function saveAsDownload(page, command, name) {
  await menuCommand(page, 'File', command);
  const box = 'dialog.message[data-kind=save-as][open]';
  await page.waitForSelector(`${box} input`, {visible: true});
  if (name !== null) {
    await page.$eval(`${box} input`, (input) => (input.value = ''));
    await page.type(`${box} input`, name);
  }
  await page.click(`${box} button[data-answer=save]`);
}

const caption = (page) => page.$eval('#caption', (c) => c.textContent);

// The rows the Roll History window lists.
async function historyRows(page) {
  const tool = TOOL_WINDOWS.find((w) => w.template === TEMPLATES.rollHistory);
  await menuCommand(page, tool.menu, tool.command);
  await waitForWindow(page, TEMPLATES.rollHistory);
  return page.$$eval(`${windowSelector(TEMPLATES.rollHistory)} [data-control]`, (controls) =>
    controls.map((c) => c.listState?.count).find((n) => n !== undefined),
  );
}

describe('saved as downloads', () => {
  test('the scenario ends in ".trv" and the caption shows it whole; its history goes with it and opens with it again', async () => {
    const downloads = mkdtempSync(path.join(scratch, 'downloads-'));
    const {context, page} = await app.open({beforeLoad: withoutFilePickers});
    const saved = await downloadsInto(app.browser, context, downloads);
    try {
      await finishStartUp(page);
      await openDieStats(page);
      await rollActivation(page);
      await saveAsDownload(page, SAVE_COMMAND, null);
      const proposed = await saved.next('.trv');
      assert.equal(path.basename(proposed), 'vs. Russian (1-39).trv');
      assert.equal(path.basename(await saved.next('.history.txt')), 'vs. Russian (1-39).history.txt');
      const rolls = async () => Number(await controlText(page, TEMPLATES.dieStats, DIE_STATS.oneDieTotal));
      assert.equal(JSON.parse(await runCli('--scenario', proposed, 'show')).stats.oneDieRolls, await rolls());
      assert.equal((await historyBeside(proposed)).length, await historyRows(page));
      assert.equal(await caption(page), 'TREVA! (vs. Russian (1-39))');

      await rollActivation(page);
      await saveAsDownload(page, SAVE_AS_COMMAND, 'june');
      await page.waitForFunction(() => document.querySelector('#caption').textContent === 'TREVA! (june)');
      const june = await saved.next('june.trv');
      const juneHistory = await saved.next('june.history.txt');
      const rows = await historyRows(page);
      assert.equal((await historyBeside(june)).length, rows);

      // A fresh browser opens the two downloads together: the history comes along.
      const {context: other, page: again} = await app.open({beforeLoad: withoutFilePickers});
      try {
        await finishStartUp(again);
        const [chooser] = await Promise.all([again.waitForFileChooser(), menuCommand(again, 'File', OPEN_COMMAND)]);
        await chooser.accept([june, juneHistory]);
        await again.waitForFunction(() => document.querySelector('#caption').textContent === 'TREVA! (june)');
        assert.equal(await historyRows(again), rows);
      } finally {
        await other.close();
      }
    } finally {
      await saved.detach();
      await context.close();
    }
  });

  test("Exit's question says the browser keeps the changes whatever the answer, and it does", async () => {
    await withStartedApp(app, {}, async (page) => {
      await openDieStats(page);
      await rollActivation(page);
      const unsaved = await controlText(page, TEMPLATES.dieStats, DIE_STATS.oneDieTotal);
      const shown = await caption(page);
      assert.match(shown, /^\*/, 'a roll is a change to save');
      await menuCommand(page, 'File', COMMANDS.exit);
      const question = await page.waitForSelector('dialog.message[data-kind=save-changes][open] .message-text');
      assert.match(
        await question.evaluate((q) => q.textContent),
        /^Save changes to Untitled\? Don't Save leaves the file as it was, but this browser still keeps the scenario as it is now, changes and all/,
      );
      await question.dispose();
      await page.click('dialog.message[data-kind=save-changes][open] button[data-answer=dont-save]');
      await page.waitForSelector('#ended', {visible: true});

      await page.reload();
      await waitForReady(page);
      await finishStartUp(page);
      assert.equal(await caption(page), shown, 'the changes are taken up, still unsaved');
      await openDieStats(page);
      assert.equal(await controlText(page, TEMPLATES.dieStats, DIE_STATS.oneDieTotal), unsaved);
    });
  });
});

// The file system access pickers, answered by file handles of the test's
// own making: the page reads the scenario from the handle it opened and
// writes back through it, as it would to the player's file on disk. A
// history is saved under the name proposed for it; the handle of `refused`
// will not be written.
function withFilePickers(page, opened, {saveAs = 'july.trv', refused = ''} = {}) {
  return page.evaluateOnNewDocument(
    (openedBase64, saveAsName, refusedName) => {
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
      window.showOpenFilePicker = async () => {
        log.asked.push('open');
        return [
          handle(
            'june.trv',
            Uint8Array.from(atob(openedBase64), (c) => c.charCodeAt(0)),
          ),
        ];
      };
      window.showSaveFilePicker = async (options) => {
        log.asked.push(`save ${options.suggestedName}` + (options.startIn ? ` beside ${options.startIn.name}` : ''));
        return handle(options.suggestedName.endsWith('.history.txt') ? options.suggestedName : saveAsName);
      };
    },
    opened.toString('base64'),
    saveAs,
    refused,
  );
}

async function writtenThroughHandle(page, name) {
  const written = await page.waitForFunction((n) => window.pickerLog.written[n], {}, name);
  const bytes = Buffer.from(await written.jsonValue(), 'base64');
  await written.dispose();
  return bytes;
}

// The page asks where the history goes before the picker, which opens only from a click.
async function answerHistoryPlace(page, answer) {
  const button = `dialog.message[data-kind=history-place][open] button[data-answer=${answer}]`;
  await page.waitForSelector(button, {visible: true});
  await page.click(button);
}

// The roll history treva-cli reads beside `scenario`.
async function historyBeside(scenario) {
  return JSON.parse(await runCli('--scenario', scenario, 'history', '--json'));
}

// A page whose Open picker hands over a fresh scenario from treva-cli
// (`original`, named june.trv in the page), opened past the start-up boxes.
async function openedThroughPicker(name, options) {
  const original = path.join(scratch, name);
  await runCli('new', original);
  const {context, page} = await app.open({beforeLoad: (p) => withFilePickers(p, readFileSync(original), options)});
  try {
    await finishStartUp(page);
    await menuCommand(page, 'File', OPEN_COMMAND);
    await page.waitForFunction(() => document.querySelector('#caption').textContent === 'TREVA! (june)');
  } catch (error) {
    await context.close();
    throw error;
  }
  return {original, context, page};
}

describe('scenario files through the file system access pickers', () => {
  test('the opened file and its history are saved back in place; Save As writes both where the player names', async () => {
    const {original, context, page} = await openedThroughPicker('june-picked.trv');
    try {
      await waitForWindow(page, TEMPLATES.activation);
      await openDieStats(page);
      await rollActivation(page);

      await menuCommand(page, 'File', SAVE_COMMAND);
      await answerHistoryPlace(page, 'choose');
      const saved = path.join(scratch, 'june-saved.trv');
      writeFileSync(saved, await writtenThroughHandle(page, 'june.trv'));
      writeFileSync(path.join(scratch, 'june-saved.history.txt'), await writtenThroughHandle(page, 'june.history.txt'));
      const read = JSON.parse(await runCli('--scenario', saved, 'show'));
      assert.deepEqual(read.scenario, JSON.parse(await runCli('--scenario', original, 'show')).scenario);
      const rolls = async () => Number(await controlText(page, TEMPLATES.dieStats, DIE_STATS.oneDieTotal));
      assert.equal(read.stats.oneDieRolls, await rolls(), 'the roll is in the file saved in place');
      assert.equal((await historyBeside(saved)).length, await historyRows(page), 'and in its history');

      await rollActivation(page);
      await menuCommand(page, 'File', SAVE_AS_COMMAND);
      await answerHistoryPlace(page, 'choose');
      await page.waitForFunction(() => document.querySelector('#caption').textContent === 'TREVA! (july)');
      const savedAs = path.join(scratch, 'july-saved.trv');
      writeFileSync(savedAs, await writtenThroughHandle(page, 'july.trv'));
      writeFileSync(path.join(scratch, 'july-saved.history.txt'), await writtenThroughHandle(page, 'july.history.txt'));
      assert.equal(JSON.parse(await runCli('--scenario', savedAs, 'show')).stats.oneDieRolls, await rolls());
      assert.equal((await historyBeside(savedAs)).length, await historyRows(page));
      assert.deepEqual(await page.evaluate(() => window.pickerLog.asked), [
        'open',
        'save june.history.txt beside june.trv',
        'save vs. Russian (1-39).trv',
        'save july.history.txt beside july.trv',
      ]);
    } finally {
      await context.close();
    }
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
      try {
        await openDieStats(page);
        await rollActivation(page);
        await menuCommand(page, 'File', SAVE_COMMAND);
        await answerHistoryPlace(page, answer);
        const error = await page.waitForSelector('dialog.message[data-kind=error][open] .message-text');
        assert.match(await error.evaluate((t) => t.textContent), told);
        await error.dispose();
        assert.deepEqual(await page.evaluate(() => window.pickerLog.written), written);
        // What the page kept has the roll, though the files could not take it.
        const kept = path.join(scratch, 'june-kept.trv');
        writeFileSync(kept, Buffer.from(await page.evaluate(() => localStorage.getItem('treva.scenario')), 'base64'));
        assert.equal(
          JSON.parse(await runCli('--scenario', kept, 'show')).stats.oneDieRolls,
          Number(await controlText(page, TEMPLATES.dieStats, DIE_STATS.oneDieTotal)),
        );
      } finally {
        await context.close();
      }
    }
  });

  test('a file the page cannot read is told once, not after every click', async () => {
    const {context, page} = await openedThroughPicker('june-unreadable.trv');
    try {
      await openDieStats(page);
      // A file the page may not read: it is told after the next command.
      await page.evaluate(() => FS.chmod('june.trv', 0));
      await menuCommand(page, 'Edit', COMMANDS.dieStats);
      const told = await page.waitForSelector('dialog.message[data-kind=error][open] .message-text');
      assert.match(
        await told.evaluate((t) => t.textContent),
        /^Could not save "june\.trv": the page cannot read what TREVA wrote/,
      );
      await told.dispose();
      await page.click('dialog.message[data-kind=error][open] button');
      await rollActivation(page);
      await rollActivation(page);
      await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve))));
      assert.equal(await page.$('dialog.message[open]'), null, 'told once');
      assert.deepEqual(await page.evaluate(() => window.pickerLog.written), {});
    } finally {
      await context.close();
    }
  });
});

describe('the page kept', () => {
  // That they are kept for offline use is the precache list's own test.
  test("the page's script is one file with every module in it, fetched once", async () => {
    const source = path.join(path.dirname(fileURLToPath(import.meta.url)), '..', '..', 'platform', 'web', 'page', 'js');
    const modules = (await readdir(source)).filter((name) => name.endsWith('.js')).sort();
    assert.ok(modules.includes('windows.js'), `the page's modules are found (${modules})`);
    // The browser's tools show the modules through the source map.
    const map = JSON.parse(await readFile(path.join(webDir(), 'page.js.map'), 'utf8'));
    const mapped = map.sources.filter((name) => name.includes('/js/')).map((name) => path.basename(name));
    assert.deepEqual(mapped.sort(), modules);
    const {context, page} = await app.open();
    try {
      // A module preloaded or imported beside the bundle would be fetched for nothing.
      assert.equal(await page.$$eval('link[rel=modulepreload]', (links) => links.length), 0);
      const fetched = await page.evaluate(() => {
        const base = new URL('.', location.href).href;
        return performance
          .getEntriesByType('resource')
          .map((entry) => entry.name)
          .filter((name) => name.startsWith(base))
          .map((name) => name.slice(base.length));
      });
      assert.deepEqual(
        fetched.filter((name) => name === 'page.js' || name.startsWith('js/')),
        ['page.js'],
      );
    } finally {
      await context.close();
    }
  });

  test('after a first visit the page starts again offline, and F1 opens the guide', async () => {
    // A server of its own: stopping it takes the network away for good.
    const server = await startStaticServer(webDir());
    let served = true;
    let context;
    try {
      const opened = await openApp(app.browser, server.url);
      context = opened.context;
      const page = opened.page;
      // The service worker is installed, with what it keeps.
      await page.waitForFunction(() => navigator.serviceWorker.ready.then(() => true), {timeout: 30000});
      await page.setOfflineMode(true);
      await server.close();
      served = false;
      await page.reload();
      await waitForReady(page);
      assert.equal((await shownWindows(page))[0]?.template, ABOUT.template);
      await finishStartUp(page);
      // F1 opens the guide, kept with the page, rather than a second TREVA.
      const guideOpened = new Promise((resolve) => context.once('targetcreated', resolve));
      await page.keyboard.press('F1');
      const guide = await (await guideOpened).page();
      await guide.waitForFunction(() => document.readyState === 'complete');
      assert.equal(await guide.title(), 'TREVA Guide');
    } finally {
      await context?.close();
      if (served) await server.close();
    }
  });

  test('a second tab says TREVA is open elsewhere; taking over stops the first, with every roll kept', async () => {
    const {context, page} = await app.open();
    try {
      await finishStartUp(page);
      await openDieStats(page);
      await rollActivation(page);
      const rolled = await controlText(page, TEMPLATES.dieStats, DIE_STATS.oneDieTotal);
      const second = await context.newPage();
      await second.goto(page.url());
      const asked = 'dialog.message[data-kind=open-elsewhere][open]';
      await second.waitForSelector(asked);
      assert.match(
        await second.$eval(`${asked} .message-text`, (t) => t.textContent),
        /^TREVA is open in another tab or window of this browser/,
      );
      assert.equal(await second.$('.window'), null, 'the second does not start before it is told to');
      await second.click(`${asked} button[data-answer=take-over]`);
      await page.waitForSelector('dialog.message[data-kind=taken-over][open]');
      await waitForReady(second);
      await finishStartUp(second);
      await openDieStats(second);
      assert.equal(await controlText(second, TEMPLATES.dieStats, DIE_STATS.oneDieTotal), rolled);
      // The first keeps nothing more, so the second's rolls stay.
      await rollActivation(second);
      const kept = await second.evaluate(() => localStorage.getItem('treva.scenario'));
      assert.equal(await page.evaluate(() => TrevaPage.keep(new Uint8Array(144), new Uint8Array(144), '', '')), false);
      assert.equal(await second.evaluate(() => localStorage.getItem('treva.scenario')), kept);
    } finally {
      await context.close();
    }
  });

  test('storage that refuses the scenario is told once', async () => {
    // The origin's storage filled before the page loads, so that every write
    // of the page is refused whatever way it writes.
    const fillStorage = async (page) => {
      await page.evaluateOnNewDocument(() => {
        window.noticeChanges = 0;
        new MutationObserver((records) => {
          for (const record of records) {
            const node = record.target.nodeType === Node.ELEMENT_NODE ? record.target : record.target.parentElement;
            if (node?.closest('#storage-notice')) window.noticeChanges += 1;
          }
        }).observe(document, {subtree: true, childList: true, characterData: true});
      });
      await page.goto(new URL('storage-filler', app.url).href);
      const refused = await page.evaluate(() => {
        let n = 0;
        for (let size = 1 << 20; size >= 1;) {
          try {
            localStorage.setItem(`filler${n++}`, 'x'.repeat(size));
          } catch {
            size >>= 1;
          }
        }
        try {
          localStorage.setItem('treva.name', 'x');
          return false;
        } catch {
          return true;
        }
      });
      assert.ok(refused, 'the storage is full');
    };
    await withStartedApp(app, {beforeLoad: fillStorage}, async (page) => {
      await openDieStats(page);
      await rollActivation(page);
      const notice = await page.waitForFunction(() => document.querySelector('#storage-notice')?.textContent.trim());
      const told = await notice.jsonValue();
      await notice.dispose();
      const changes = await page.evaluate(() => window.noticeChanges);
      await rollActivation(page);
      await rollActivation(page);
      // Whatever the page does after a change has run once the next frame is drawn.
      await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve))));
      assert.equal(await page.$eval('#storage-notice', (n) => n.textContent.trim()), told);
      assert.equal(await page.evaluate(() => window.noticeChanges), changes, 'the notice is not told again');
    });
  });

  test('a history the storage refuses leaves the kept scenario as it was: the two never disagree', async () => {
    // Storage with room for the scenario but none for its history.
    const refuseHistory = (page) =>
      page.evaluateOnNewDocument(() => {
        const setItem = Storage.prototype.setItem;
        Storage.prototype.setItem = function (key, value) {
          if (key === 'treva.history') throw new DOMException('full', 'QuotaExceededError');
          return setItem.call(this, key, value);
        };
      });
    await withStartedApp(app, {beforeLoad: refuseHistory}, async (page) => {
      const kept = await page.evaluate(() => localStorage.getItem('treva.scenario'));
      await openDieStats(page);
      await rollActivation(page);
      await rollActivation(page);
      await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve))));
      assert.match(await page.$eval('#storage-notice', (n) => n.textContent.trim()), /storage is full/);
      assert.equal(
        await page.evaluate(() => localStorage.getItem('treva.scenario')),
        kept,
        'the kept scenario does not count rolls its kept history lacks',
      );
    });
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
      const told = await page.$eval('#storage-notice', (n) => n.textContent.trim());
      assert.match(told, /storage is turned off/);
      await openDieStats(page);
      await rollActivation(page);
      assert.match(await controlText(page, TEMPLATES.activation, ACTIVATION.dr), /^[1-6]$/, 'the page goes on rolling');
    });
  });
});
