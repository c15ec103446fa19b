// The body of web/screenshots (which see).
// web/screenshots FOLDER
//
// The screenshot scenes played on the browser version's page (the web
// build's static folder, or $TREVA_WEB_DIR) in headless Chromium, as
// `treva --screenshots` plays them on the desktop: fixed dice, a fixed clock,
// real clicks. Each window's panel is photographed into FOLDER/NAME.png, the
// frame's picture being the page's header; a tablet's screen, 1024 x 768.
import {existsSync} from 'node:fs';
import {mkdir} from 'node:fs/promises';
import path from 'node:path';

import {launchBrowser, webDir} from './lib/browser.mjs';
import {DriveTab} from './lib/drive.mjs';
import {startStaticServer} from './lib/static_server.mjs';

const PROGRAM = 'web/screenshots';
const VIEWPORT = {width: 1024, height: 768};

// A picture of what `selector` finds as FOLDER/NAME.png; false when there
// is nothing to photograph.
function photographer(page, folder) {
  return async ({selector, name}) => {
    if (typeof name !== 'string' || !/^[a-z0-9-]+$/.test(name)) return false;
    const file = path.join(folder, `${name}.png`);
    const element = await page.$(selector);
    if (!element) return false;
    try {
      await element.screenshot({path: file});
    } finally {
      await element.dispose();
    }
    return true;
  };
}

async function main(args) {
  if (args.length !== 1 || args[0].startsWith('-')) {
    process.stderr.write(`usage: ${PROGRAM} FOLDER\n`);
    return 2;
  }
  const folder = path.resolve(args[0]);
  const site = webDir();
  if (!existsSync(path.join(site, 'index.html'))) {
    process.stderr.write(`${PROGRAM}: no page in ${site} (build the web preset first)\n`);
    return 2;
  }
  let server, browser, tab;
  try {
    await mkdir(folder, {recursive: true});
    server = await startStaticServer(site);
    browser = await launchBrowser();
    tab = await DriveTab.open(browser, VIEWPORT);
    tab.photographer = photographer(tab.page, folder);
    const result = await tab.run(server.url, ['--screenshots'], {timeoutMs: 180000});
    process.stdout.write(result.stdout);
    process.stderr.write(result.stderr);
    return result.status;
  } catch (error) {
    process.stderr.write(`${PROGRAM}: ${String(error.message).split('\n')[0]}\n`);
    return 2;
  } finally {
    await tab?.close();
    await browser?.close();
    await server?.close();
  }
}

process.exitCode = await main(process.argv.slice(2));
