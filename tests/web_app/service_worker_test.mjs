// platform/web/page/sw.js in headless Chromium, on a small page of its own
// (the worker does not depend on the program's page): one visit after
// another, as a person's, then offline.
//   node --test tests/web_app/service_worker_test.mjs
// Needs puppeteer-core (npm ci) and Chromium ($TREVA_CHROMIUM, else
// /usr/bin/chromium); cmake runs the build's write_precache.cmake ($TREVA_CMAKE,
// else cmake from PATH).

import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {existsSync} from 'node:fs';
import {copyFile, cp, mkdir, mkdtemp, readdir, readFile, rm, writeFile} from 'node:fs/promises';
import {createRequire} from 'node:module';
import {tmpdir} from 'node:os';
import {dirname, join, resolve} from 'node:path';
import {after, before, describe, test} from 'node:test';
import {fileURLToPath} from 'node:url';
import {startStaticServer} from '../../web/lib/static_server.mjs';

const repo = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const page = join(repo, 'platform/web/page');
const pictures = join(repo, 'resources/pictures');
const chromium = process.env.TREVA_CHROMIUM || '/usr/bin/chromium';

let puppeteer = null;
try {
  puppeteer = createRequire(join(repo, 'package.json'))('puppeteer-core');
} catch {
  // reported as the reason for skipping below
}
const skip = !puppeteer
  ? 'puppeteer-core is not installed (npm ci)'
  : !existsSync(chromium)
    ? `no Chromium at ${chromium}`
    : false;

// The page: it loads its "module" and shows what it holds, as the real one
// shows its first window.
const INDEX = `<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>worker test</title><link rel="stylesheet" href="treva.css"></head>
<body><p id="shown"></p>
<script>navigator.serviceWorker.register("sw.js");</script>
<script src="treva.js"></script></body></html>
`;
const SCRIPT = `fetch("treva.wasm").then((r) => r.text()).then((text) => {
  document.getElementById("shown").textContent = text;
  document.body.dataset.ready = "1";
});
`;

let site;
let web;
let server;
let other;
let browser;
let tab;

// The build: the page's files, then write_precache.cmake as the build runs it.
async function build(module) {
  await writeFile(join(web, 'treva.wasm'), module);
  execFileSync(
    process.env.TREVA_CMAKE || 'cmake',
    [
      `-DOUTDIR=${web}`,
      `-DPAGE=${page}`,
      `-DPICTURES=${pictures}`,
      '-DVERSION=9.9.9',
      '-P',
      join(repo, 'platform/web/write_precache.cmake'),
    ],
    {stdio: 'pipe'},
  );
  return JSON.parse(await readFile(join(web, 'precache.json'), 'utf8'));
}

async function cachesNow() {
  return tab.evaluate(async () => {
    const found = {};
    for (const name of await caches.keys()) {
      found[name] = (await (await caches.open(name)).keys()).map((request) => request.url);
    }
    return found;
  });
}

async function visit(url) {
  await tab.goto(url);
  await tab.waitForSelector("body[data-ready='1']", {timeout: 10_000});
  return tab.$eval('#shown', (element) => element.textContent);
}

describe('the service worker', {skip, timeout: 120_000}, () => {
  let firstList;

  before(async () => {
    site = await mkdtemp(join(tmpdir(), 'treva-sw-'));
    web = join(site, 'web');
    await mkdir(join(web, 'pictures'), {recursive: true});
    await mkdir(join(web, 'guide'));
    await writeFile(join(web, 'index.html'), INDEX);
    await writeFile(join(web, 'treva.js'), SCRIPT);
    await writeFile(join(web, 'treva.css'), 'body { color: #2a2a26; }\n');
    await writeFile(join(web, 'guide', 'index.html'), '<!DOCTYPE html><title>guide</title><p>guide</p>\n');
    await copyFile(join(page, 'manifest.webmanifest'), join(web, 'manifest.webmanifest'));
    await cp(join(page, 'icons'), join(web, 'icons'), {recursive: true});
    await copyFile(join(pictures, 'treva.svg'), join(web, 'icons', 'treva.svg'));
    for (const name of await readdir(pictures)) {
      if (name.endsWith('.png')) await copyFile(join(pictures, name), join(web, 'pictures', name));
    }
    firstList = await build('build one');
    server = await startStaticServer(web);
    other = await startStaticServer(join(web, 'guide'));
    browser = await puppeteer.launch({
      executablePath: chromium,
      headless: true,
      args: process.getuid?.() === 0 ? ['--no-sandbox'] : [],
    });
    tab = await browser.newPage();
  });

  after(async () => {
    await browser?.close();
    await server?.close();
    await other?.close();
    if (site) await rm(site, {recursive: true, force: true});
  });

  test('the first visit keeps every file of the list, in a cache named after the build', async () => {
    assert.equal(await visit(server.url), 'build one');
    await tab.waitForFunction(() => navigator.serviceWorker.controller !== null, {timeout: 10_000});
    const found = await cachesNow();
    assert.deepEqual(Object.keys(found), [`treva ${server.url} ${firstList.version}`]);
    const kept = Object.values(found)[0]
      .map((url) => url.slice(server.url.length))
      .sort();
    assert.deepEqual(kept, [...firstList.files].sort());
  });

  test('what is fetched from this origin is kept; nothing from another', async () => {
    await tab.evaluate(async (elsewhere) => {
      await fetch('pictures/117@2x.png');
      await fetch(elsewhere, {mode: 'no-cors'});
      await fetch('nothing-here.png'); // a 404 is not kept
    }, other.url);
    // The worker keeps its copies after it has answered.
    const keeping = await tab.waitForFunction(
      async () => {
        const kept = (await (await caches.open((await caches.keys())[0])).keys()).map((request) => request.url);
        return kept.includes(new URL('pictures/117@2x.png', location).href) && kept;
      },
      {timeout: 10_000},
    );
    const kept = await keeping.jsonValue();
    assert.ok(
      kept.every((url) => url.startsWith(server.url)),
      "another origin's answer was kept",
    );
    assert.ok(!kept.includes(`${server.url}nothing-here.png`));
  });

  test('a new build replaces the old cache on the next visit', async () => {
    const second = await build('build two');
    await visit(server.url);
    await tab.evaluate(async () => (await navigator.serviceWorker.getRegistration()).update());
    await tab.waitForFunction(
      async (name) => (await caches.keys()).length === 1 && (await caches.keys())[0] === name,
      {timeout: 10_000},
      `treva ${server.url} ${second.version}`,
    );
    // No visit here: the new cache holds only the list when the reader goes offline.
    assert.equal(await tab.evaluate(() => fetch('treva.wasm').then((response) => response.text())), 'build two');
  });

  test('offline, the program starts from what was kept, at the address asked for; a page never seen sends the reader to the program', async () => {
    await server.close();
    // At the address asked for, not sent elsewhere: the page reads its query.
    assert.equal(await visit(server.url), 'build two');
    assert.equal(tab.url(), server.url);
    assert.equal(await visit(`${server.url}index.html?drive`), 'build two');
    assert.equal(tab.url(), `${server.url}index.html?drive`);
    const answers = await tab.evaluate(async () => {
      const status = (url) =>
        fetch(url).then(
          (response) => response.status,
          () => 'failed',
        );
      return {picture: await status('pictures/109.png'), neverSeen: await status('pictures/109@2x.png')};
    });
    assert.deepEqual(answers, {picture: 200, neverSeen: 'failed'});
    // The guide, kept with the page, opening offline is the page's own test.
    assert.equal(await visit(`${server.url}guide/never-seen.html`), 'build two');
    assert.equal(tab.url(), `${server.url}index.html`);
  });
});
