// Debian's Chromium, headless, through puppeteer-core: what web/drive and the
// browser tests start the page in. Nothing is downloaded; the browser is the
// system's (or $TREVA_CHROMIUM).
import {mkdtemp, rm} from 'node:fs/promises';
import {tmpdir} from 'node:os';
import path from 'node:path';
import {fileURLToPath} from 'node:url';

import puppeteer from 'puppeteer-core';

export function chromiumPath() {
  return process.env.TREVA_CHROMIUM || '/usr/bin/chromium';
}

// The static folder the web build writes (or $TREVA_WEB_DIR).
export function webDir() {
  const repository = path.dirname(path.dirname(path.dirname(fileURLToPath(import.meta.url))));
  return process.env.TREVA_WEB_DIR || path.join(repository, 'build-web', 'web');
}

// A headless Chromium on a profile of its own, made for this browser and
// removed by its close(). Throws an Error whose message names the browser
// when it cannot start.
export async function launchBrowser({protocolTimeout = 60000} = {}) {
  const executablePath = chromiumPath();
  const profile = await mkdtemp(path.join(tmpdir(), 'treva-chromium-'));
  const args = [
    // Chromium's sandbox refuses to start as root.
    ...(process.getuid?.() === 0 ? ['--no-sandbox'] : []),
    // Containers often have a small /dev/shm; a tab that runs out of it crashes.
    '--disable-dev-shm-usage',
  ];
  let browser;
  try {
    browser = await puppeteer.launch({
      executablePath,
      headless: true,
      userDataDir: profile,
      args,
      // Over a pipe the browser ends with this process, even one that is killed.
      pipe: true,
      protocolTimeout,
      // The caller decides when the browser ends; a signal ends the process,
      // and the pipe takes the browser with it.
      handleSIGINT: false,
      handleSIGTERM: false,
      handleSIGHUP: false,
    });
  } catch (error) {
    await rm(profile, {recursive: true, force: true});
    const why = String(error?.message ?? error).split('\n')[0];
    throw new Error(`cannot start Chromium (${executablePath}): ${why}`);
  }
  const closeBrowser = browser.close.bind(browser);
  browser.close = async () => {
    try {
      await closeBrowser();
    } finally {
      await rm(profile, {recursive: true, force: true, maxRetries: 3});
    }
  };
  return browser;
}

// The page's URL under a server's base URL (the page uses relative URLs only,
// so the base may be a sub-path).
export function appUrl(base, query = '') {
  const folder = base.endsWith('/') ? base : base + '/';
  return new URL('index.html' + query, folder).href;
}

export async function waitForReady(page, {timeout = 30000} = {}) {
  await page.waitForFunction(() => document.body?.dataset.ready === '1', {timeout});
}

// The page in a browser context of its own, so that its storage, cache and
// service worker start empty. `beforeLoad(page)` runs before the page loads
// (for evaluateOnNewDocument, download folders and the like). Resolves once
// the page says it is ready.
export async function openApp(browser, base, {query = '', viewport = {width: 1024, height: 768}, beforeLoad} = {}) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport(viewport);
  if (beforeLoad) await beforeLoad(page);
  await page.goto(appUrl(base, query));
  await waitForReady(page);
  return {context, page};
}
