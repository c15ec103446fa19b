// The Node side of web/drive: hands a drive's arguments and files to the page
// (index.html?drive), does the person's input the page asks for through the
// browser's own input events, and takes back what the drive printed and wrote.
import {randomBytes} from 'node:crypto';
import {open, readFile, realpath, rename, rm, stat} from 'node:fs/promises';
import path from 'node:path';

import {appUrl} from './browser.mjs';

export const PROGRAM = 'web/drive';

// The scenario file of a drive's arguments: the global options up to the
// first argument that is not one, as the drive itself reads them (the last
// --scenario counts). The drive checks them; this only finds the file.
export function scenarioPathOf(args) {
  let scenario = null;
  for (let i = 0; i < args.length; ++i) {
    if (args[i] !== '--scenario' && args[i] !== '--seed') break;
    if (i + 1 >= args.length) break;
    if (args[i] === '--scenario' && args[i + 1] !== '') scenario = args[i + 1];
    ++i;
  }
  return scenario;
}

// The roll history beside a scenario: june.trv keeps it in june.history.txt
// (a .trv of any case is dropped; a name that is only an extension keeps it).
export function historyPathFor(scenarioPath) {
  let base = scenarioPath;
  const slash = Math.max(base.lastIndexOf('/'), base.lastIndexOf('\\'));
  const dot = base.lastIndexOf('.');
  if (dot >= 0 && dot > slash + 1 && base.slice(dot).toLowerCase() === '.trv') base = base.slice(0, dot);
  return base + '.history.txt';
}

// The files the drive may read, as base64 keyed by the path as given: those
// that exist and can be read.
export async function driveFiles(args) {
  const scenario = scenarioPathOf(args);
  const files = {};
  if (scenario === null) return files;
  for (const name of [scenario, historyPathFor(scenario)]) {
    try {
      files[name] = (await readFile(name)).toString('base64');
    } catch {
      // Missing or unreadable: the drive says so as it does for any file.
    }
  }
  return files;
}

// Replaces FILE whole or not at all, as the program saves: a temporary file
// beside the real one (so that a link to it stays a link) with the mode of
// the file it replaces, flushed, then renamed over it.
export async function writeAtomically(file, bytes) {
  const destination = await realpath(file).catch(() => file);
  const old = await stat(destination).catch(() => null);
  const temporary = path.join(
    path.dirname(destination),
    `.${path.basename(destination)}.${randomBytes(6).toString('hex')}.tmp`,
  );
  let handle;
  try {
    handle = await open(temporary, 'wx', 0o666);
    await handle.writeFile(bytes);
    if (old) await handle.chmod(old.mode & 0o7777);
    await handle.sync();
    await handle.close();
    handle = null;
    await rename(temporary, destination);
  } catch (error) {
    await handle?.close().catch(() => {});
    await rm(temporary, {force: true});
    throw error;
  }
}

// A person's input, as the page asks for it.
export async function personInput(page, action) {
  switch (action?.kind) {
    case 'click':
      await page.click(action.selector);
      return;
    case 'choose': {
      const list = await page.$(action.selector);
      if (!list) throw new Error(`no element ${action.selector}`);
      try {
        await list.focus();
        await list.select(String(action.value));
      } finally {
        await list.dispose();
      }
      return;
    }
    case 'type':
      await page.click(action.selector);
      await page.keyboard.down('Control');
      await page.keyboard.press('KeyA');
      await page.keyboard.up('Control');
      await page.keyboard.press('Backspace');
      await page.keyboard.type(String(action.text));
      return;
    default:
      throw new Error(`no such input: ${JSON.stringify(action)}`);
  }
}

function isResult(value) {
  return (
    value !== null &&
    typeof value === 'object' &&
    Number.isInteger(value.status) &&
    value.status >= 0 &&
    value.status <= 255 &&
    typeof value.stdout === 'string' &&
    typeof value.stderr === 'string' &&
    (value.files === undefined ||
      (value.files !== null &&
        typeof value.files === 'object' &&
        Object.values(value.files).every((bytes) => typeof bytes === 'string')))
  );
}

function failure(message) {
  return {status: 2, stdout: Buffer.alloc(0), stderr: Buffer.from(`${PROGRAM}: ${message}\n`)};
}

// A blank page in a browser context of its own: nothing kept from another
// drive.
async function blankPage(browser, viewport) {
  const context = await browser.createBrowserContext();
  try {
    const page = await context.newPage();
    await page.setViewport(viewport);
    return {context, page};
  } catch (error) {
    await context.close().catch(() => {});
    throw error;
  }
}

// A page that runs drives one after another: its browser context and the
// functions the page calls are made once, and each drive loads the page
// afresh. The drive page keeps nothing between loads (no storage, no
// service worker), so a drive there starts as on a page of its own; a drive
// that fails takes its tab with it, and the next one gets a new tab.
export class DriveTab {
  static async open(browser, viewport = {width: 1280, height: 1024}) {
    const tab = new DriveTab();
    const {context, page} = await blankPage(browser, viewport);
    tab.context = context;
    tab.page = page;
    try {
      page.on('pageerror', (error) => {
        if (tab.session) tab.session.pageError ||= String(error?.message ?? error).split('\n')[0];
      });
      page.on('error', (error) => tab.session?.reject(new Error(`the page crashed: ${error.message}`)));
      await page.exposeFunction('trevaDriveSetup', () => tab.session?.setup);
      await page.exposeFunction('trevaInput', (action) => personInput(page, action));
      await page.exposeFunction('trevaDriveDone', (result) => tab.session?.resolve(result));
      // The screenshot scenes' pictures (web/screenshots): false where no one takes them.
      await page.exposeFunction('trevaPhotograph', (request) => (tab.photographer ? tab.photographer(request) : false));
    } catch (error) {
      await tab.close();
      throw error;
    }
    return tab;
  }

  async close() {
    await this.context.close().catch(() => {});
  }

  // Resolves to {status, stdout, stderr} as bytes, the files the drive wrote
  // already written.
  async run(base, args, {timeoutMs = 30000} = {}) {
    let timer;
    try {
      const files = await driveFiles(args);
      const scenario = scenarioPathOf(args);
      const writable = new Set(scenario === null ? [] : [scenario, historyPathFor(scenario)]);
      const session = {setup: {args, files}, pageError: ''};
      const answered = new Promise((yes, no) => {
        session.resolve = yes;
        session.reject = no;
      });
      this.session = session;
      timer = setTimeout(() => {
        const seconds = Math.round(timeoutMs / 1000);
        session.reject(
          new Error(
            `the page did not finish the drive within ${seconds} s` +
              (session.pageError ? ` (${session.pageError})` : ''),
          ),
        );
      }, timeoutMs);
      this.page.goto(appUrl(base, '?drive'), {timeout: 0}).catch((error) => {
        session.reject(new Error(`cannot load the page: ${String(error.message).split('\n')[0]}`));
      });
      let result;
      try {
        result = await answered;
      } catch (error) {
        this.failed = true;
        return failure(error.message);
      }
      if (!isResult(result)) {
        this.failed = true;
        return failure('the page answered the drive with no status, output and error');
      }
      const stdout = Buffer.from(result.stdout, 'utf8');
      let stderr = Buffer.from(result.stderr, 'utf8');
      let status = result.status;
      for (const [file, bytes] of Object.entries(result.files ?? {})) {
        try {
          if (!writable.has(file)) throw new Error('the drive was not given it');
          await writeAtomically(file, Buffer.from(bytes, 'base64'));
        } catch (error) {
          stderr = Buffer.concat([stderr, Buffer.from(`${PROGRAM}: cannot write "${file}": ${error.message}\n`)]);
          status = 2;
        }
      }
      return {status, stdout, stderr};
    } finally {
      clearTimeout(timer);
      this.session = null;
    }
  }
}

// One drive on a page of its own.
export async function driveSession(browser, base, args, {timeoutMs = 30000, viewport} = {}) {
  const tab = await DriveTab.open(browser, viewport);
  try {
    return await tab.run(base, args, {timeoutMs});
  } finally {
    await tab.close();
  }
}

// The sessions of `web/drive --batch`, read off standard input's bytes: each
// the count of its arguments, then the arguments, each ended by a NUL byte.
// Yields each session's arguments, or {error} for input that is not that.
export function* batchSessions(input) {
  let at = 0;
  const next = () => {
    const end = input.indexOf(0, at);
    if (end < 0) return null;
    const field = input.subarray(at, end);
    at = end + 1;
    return field;
  };
  for (let field; (field = next()) !== null;) {
    const text = field.toString('latin1');
    if (!/^[0-9]{1,12}$/.test(text) || Number(text) > 100000) {
      yield {error: `--batch: bad count of arguments "${field.toString('utf8')}"`};
      return;
    }
    const args = [];
    for (let i = 0; i < Number(text); ++i) {
      const arg = next();
      if (arg === null) {
        yield {error: '--batch: a session is cut short'};
        return;
      }
      // As the command line does: what is not UTF-8 becomes U+FFFD.
      args.push(arg.toString('utf8'));
    }
    yield {args};
  }
}

export function batchAnswer({status, stdout, stderr}) {
  return Buffer.concat([Buffer.from(`${status} ${stdout.length} ${stderr.length}\n`), stdout, stderr]);
}
