// What the page costs a person opening it in a browser: the bytes of a first
// load and the time until the program's first window is on the screen, beside
// the load of a blank page from the same server. Figures only; nothing passes
// or fails. Run through bench/web_load:
//
//   bench/web_load [--runs N] [FOLDER]
//
// FOLDER is the built page (default $TREVA_WEB_DIR, else build-web/web);
// Chromium is $TREVA_CHROMIUM, else /usr/bin/chromium, headless. Every load is
// a first visit: a fresh browser profile (empty cache), local storage cleared
// so that start-up shows its first box, and no service worker, which would
// otherwise fetch the whole app shell beside the page.

import {access, mkdtemp, rm, symlink, writeFile} from 'node:fs/promises';
import {tmpdir} from 'node:os';
import {dirname, join, resolve} from 'node:path';
import {fileURLToPath} from 'node:url';
import {gzipSync} from 'node:zlib';
import puppeteer from 'puppeteer-core';
import {startStaticServer} from '../web/lib/static_server.mjs';

const repo = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const MARK = 'treva-first-window';
const TIMEOUT_MS = 60_000;

function parseArguments(argv) {
  const options = {runs: 10, folder: process.env.TREVA_WEB_DIR || join(repo, 'build-web', 'web')};
  for (let i = 0; i < argv.length; ++i) {
    const arg = argv[i];
    if (arg === '--runs' && /^[1-9][0-9]*$/.test(argv[i + 1] ?? '')) options.runs = Number(argv[++i]);
    else if (arg === '-h' || arg === '--help') options.help = true;
    else if (!arg.startsWith('-')) options.folder = arg;
    else throw new Error(`unknown or incomplete argument ${arg}`);
  }
  return options;
}

// The page and a blank page side by side on one server (one origin, one
// port): the page as the folder "app/", so that it runs under a sub-path as
// it may when deployed.
async function makeSite(folder) {
  const site = await mkdtemp(join(tmpdir(), 'treva-web-load-'));
  await symlink(resolve(folder), join(site, 'app'));
  await writeFile(join(site, 'blank.html'), '<!DOCTYPE html>\n<title>blank</title>\n');
  return site;
}

async function freshPage(browser) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.evaluateOnNewDocument(() => {
    localStorage.clear();
    if (self.ServiceWorkerContainer) ServiceWorkerContainer.prototype.register = () => new Promise(() => {});
  });
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  return {context, page, errors};
}

async function waitForFirstWindow(page, errors) {
  try {
    await page.waitForFunction(
      (mark) => performance.getEntriesByName(mark).length > 0,
      {polling: 50, timeout: TIMEOUT_MS},
      MARK,
    );
  } catch (error) {
    const why = errors.length ? `; errors on the page: ${errors.join(' | ')}` : '';
    throw new Error(`no performance mark "${MARK}" within ${TIMEOUT_MS / 1000} s${why}`);
  }
}

// (a) Every response of one first load, with its size as sent and gzipped.
async function measureBytes(browser, appUrl) {
  const {context, page, errors} = await freshPage(browser);
  const responses = [];
  const failed = [];
  page.on('response', (response) => responses.push(response));
  page.on('requestfailed', (request) => failed.push(`${request.url()} (${request.failure()?.errorText})`));
  await page.goto(appUrl);
  await waitForFirstWindow(page, errors);
  // Pictures and the like that the first box asks for after it shows.
  await page.waitForNetworkIdle({idleTime: 500, timeout: TIMEOUT_MS}).catch(() => {});
  const rows = [];
  for (const response of responses) {
    const url = response.url();
    if (!url.startsWith('http')) continue;
    let body = Buffer.alloc(0);
    try {
      body = await response.buffer();
    } catch {
      // a redirect or an answer without a body
    }
    const name = url.startsWith(appUrl) ? url.slice(appUrl.length) || './' : url;
    rows.push({name, status: response.status(), bytes: body.length, gzip: gzipSync(body, {level: 9}).length});
  }
  await context.close();
  return {rows, failed};
}

// (b) One first load of a page: milliseconds from navigation start to its
// load event and, for the program, to its first window.
async function measureTimes(browser, url, program) {
  const {context, page, errors} = await freshPage(browser);
  await page.goto(url);
  if (program) await waitForFirstWindow(page, errors);
  const times = await page.evaluate(
    (mark) => ({
      load: performance.getEntriesByType('navigation')[0].loadEventStart,
      firstWindow: performance.getEntriesByName(mark)[0]?.startTime,
    }),
    MARK,
  );
  await context.close();
  return times;
}

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};
const bytes = (n) => n.toLocaleString('en-US');
const ms = (n) => n.toFixed(1);

function printBytes({rows, failed}) {
  console.log(`== First load: every response (fresh profile, no service worker)`);
  const width = Math.max(24, ...rows.map((row) => row.name.length));
  console.log(`${'file'.padEnd(width)} ${'status'.padStart(6)} ${'bytes'.padStart(11)} ${'gzip -9'.padStart(11)}`);
  for (const row of rows) {
    console.log(
      `${row.name.padEnd(width)} ${String(row.status).padStart(6)} ${bytes(row.bytes).padStart(11)}` +
        ` ${bytes(row.gzip).padStart(11)}`,
    );
  }
  const sum = (key) => rows.reduce((total, row) => total + row[key], 0);
  console.log(
    `${`total (${rows.length} responses)`.padEnd(width)} ${''.padStart(6)} ${bytes(sum('bytes')).padStart(11)}` +
      ` ${bytes(sum('gzip')).padStart(11)}`,
  );
  for (const line of failed) console.log(`failed: ${line}`);
}

function printTimes(runs, samples) {
  console.log(`\n== Start-up: ms from navigation start, ${runs} first loads each (fresh profile, storage cleared)`);
  console.log(`${'what'.padEnd(42)} ${'median'.padStart(8)} ${'worst'.padStart(8)} ${'best'.padStart(8)}`);
  for (const [what, values] of samples) {
    console.log(
      `${what.padEnd(42)} ${ms(median(values)).padStart(8)} ${ms(Math.max(...values)).padStart(8)}` +
        ` ${ms(Math.min(...values)).padStart(8)}`,
    );
  }
}

async function main() {
  const options = parseArguments(process.argv.slice(2));
  if (options.help) {
    console.log('usage: bench/web_load [--runs N] [FOLDER]');
    return 0;
  }
  await access(join(options.folder, 'index.html')).catch(() => {
    throw new Error(
      `no index.html in ${options.folder}; build it with cmake --preset web && cmake --build --preset web`,
    );
  });
  const site = await makeSite(options.folder);
  const server = await startStaticServer(site);
  const executablePath = process.env.TREVA_CHROMIUM || '/usr/bin/chromium';
  const browser = await puppeteer.launch({
    executablePath,
    headless: true,
    // Chromium's sandbox cannot start as root.
    args: process.getuid?.() === 0 ? ['--no-sandbox'] : [],
    defaultViewport: {width: 1280, height: 800},
  });
  try {
    const appUrl = `${server.url}app/`;
    const blankUrl = `${server.url}blank.html`;
    console.log(`page:     ${resolve(options.folder)}`);
    console.log(`browser:  ${await browser.version()} (${executablePath}), headless`);
    console.log(`date:     ${new Date().toISOString().slice(0, 16).replace('T', ' ')} UTC\n`);
    // Also the warm-up: the server's files are read once before the timing.
    printBytes(await measureBytes(browser, appUrl));

    // One more of each, not counted: the browser's own first-use costs.
    await measureTimes(browser, blankUrl, false);
    await measureTimes(browser, appUrl, true);
    const blank = [];
    const load = [];
    const firstWindow = [];
    for (let run = 0; run < options.runs; ++run) {
      // The two pages alternate, so that both see the machine as it is.
      blank.push((await measureTimes(browser, blankUrl, false)).load);
      const times = await measureTimes(browser, appUrl, true);
      load.push(times.load);
      firstWindow.push(times.firstWindow);
    }
    printTimes(options.runs, [
      ['blank page: load event', blank],
      ['TREVA: load event', load],
      [`TREVA: first window (${MARK})`, firstWindow],
    ]);
  } finally {
    await browser.close();
    await server.close();
    await rm(site, {recursive: true, force: true});
  }
  return 0;
}

main().then(
  (status) => process.exit(status),
  (error) => {
    console.error(`bench/web_load: ${error.message}`);
    process.exit(1);
  },
);
