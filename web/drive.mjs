// The body of web/drive (which see).
// web/drive [--scenario FILE] [--seed N] TEMPLATE TOKEN...
// web/drive --batch
//
// The drive on the browser version's real controls: the page (the web
// build's static folder, or $TREVA_WEB_DIR) served on 127.0.0.1 and opened in
// headless Chromium (/usr/bin/chromium or $TREVA_CHROMIUM). It prints, writes
// and ends as `treva-cli [--scenario FILE] [--seed N] drive TEMPLATE TOKEN...`.
// --batch reads many drives from standard input, as `treva --drive-batch`
// does: each the count of its arguments, then the arguments, each ended by a
// NUL byte; each answered by "STATUS OUTLEN ERRLEN\n", its output and error.
// $TREVA_DRIVE_TIMEOUT (seconds, 30 by default) bounds each drive.
import {existsSync} from 'node:fs';
import path from 'node:path';

import {launchBrowser, webDir} from './lib/browser.mjs';
import {DriveTab, PROGRAM, batchAnswer, batchSessions, driveSession} from './lib/drive.mjs';
import {startStaticServer} from './lib/static_server.mjs';

// A reader that has gone (EPIPE) fails the write, not the process.
process.stdout.on('error', () => {});
process.stderr.on('error', () => {});

function write(stream, bytes) {
  return new Promise((resolve, reject) =>
    bytes.length ? stream.write(bytes, (error) => (error ? reject(error) : resolve())) : resolve(),
  );
}

async function readStandardInput() {
  const chunks = [];
  for await (const chunk of process.stdin) chunks.push(chunk);
  return Buffer.concat(chunks);
}

async function main(args) {
  const batch = args.length === 1 && args[0] === '--batch';
  const input = batch ? await readStandardInput() : null;
  const timeoutMs = 1000 * Number(process.env.TREVA_DRIVE_TIMEOUT || 30);

  const folder = webDir();
  if (!existsSync(path.join(folder, 'index.html'))) {
    await write(process.stderr, Buffer.from(`${PROGRAM}: no page in ${folder} (build the web preset first)\n`));
    return 2;
  }
  let server, browser;
  try {
    server = await startStaticServer(folder);
    browser = await launchBrowser();
  } catch (error) {
    await write(process.stderr, Buffer.from(`${PROGRAM}: ${String(error.message).split('\n')[0]}\n`));
    await server?.close();
    return 2;
  }
  // Stopped from outside: the browser and its profile go too.
  for (const signal of ['SIGINT', 'SIGTERM', 'SIGHUP'])
    process.once(signal, () => browser.close().finally(() => process.exit(2)));
  try {
    if (!batch) {
      const result = await driveSession(browser, server.url, args, {timeoutMs});
      await write(process.stdout, result.stdout);
      await write(process.stderr, result.stderr);
      return result.status;
    }
    let tab = null;
    try {
      for (const session of batchSessions(input)) {
        if (session.error) {
          await write(process.stderr, Buffer.from(`${PROGRAM}: ${session.error}\n`));
          return 2;
        }
        tab ??= await DriveTab.open(browser);
        const result = await tab.run(server.url, session.args, {timeoutMs});
        if (tab.failed) {
          await tab.close();
          tab = null;
        }
        await write(process.stdout, batchAnswer(result));
      }
    } finally {
      await tab?.close();
    }
    return 0;
  } finally {
    await browser.close().catch(() => {});
    await server.close();
  }
}

// Ends at once with the drive's status: nothing the browser or the server
// leaves behind may hold the process.
let status;
try {
  status = await main(process.argv.slice(2));
} catch (error) {
  await write(process.stderr, Buffer.from(`${PROGRAM}: ${String(error?.message ?? error).split('\n')[0]}\n`)).catch(
    () => {},
  );
  status = 2;
}
process.exit(status);
