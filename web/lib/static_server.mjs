// A small static file server for the page on 127.0.0.1, for the tools that
// drive or measure it in a browser. It serves a folder as any web server
// would, with the types the browser insists on (application/wasm for
// streaming compilation, application/manifest+json for the manifest) and
// "Cache-Control: no-cache", so that a new build is always seen. Text and
// the program's WebAssembly go gzipped to a browser that takes it (the
// first load is about a third as large).
//
//   const {url, close} = await startStaticServer(folder);  // url ends with "/"
//   startStaticServer(folder, {port: 8080})                 // a port of one's choosing
//   startStaticServer(folder, {compress: false})            // every file as it is
//   ...
//   await close();

import {createReadStream} from 'node:fs';
import {stat} from 'node:fs/promises';
import {createServer} from 'node:http';
import {extname, resolve, sep} from 'node:path';
import {createGzip} from 'node:zlib';

// The types the browser insists on; not the system's mime.types, which
// differ from machine to machine.
export const MIME_TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.json': 'application/json',
  '.webmanifest': 'application/manifest+json',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
  '.svg': 'image/svg+xml',
  '.ico': 'image/x-icon',
  '.txt': 'text/plain; charset=utf-8',
  '.trv': 'application/octet-stream',
};

// What is worth compressing: text and WebAssembly, not the pictures.
const COMPRESSED = new Set(['.html', '.css', '.js', '.mjs', '.json', '.webmanifest', '.wasm', '.svg', '.txt', '.map']);

export async function startStaticServer(folder, {port = 0, compress = true} = {}) {
  const root = resolve(folder);
  const rootInfo = await stat(root);
  if (!rootInfo.isDirectory()) throw new Error(`startStaticServer: ${root} is not a folder`);

  const server = createServer((request, response) => {
    serve(root, compress, request, response).catch((error) => {
      if (!response.headersSent) plain(response, 500, `${error.message}\n`);
      else response.destroy(error);
    });
  });
  await new Promise((done, fail) => {
    server.once('error', fail);
    server.listen(port, '127.0.0.1', done);
  });
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () =>
      new Promise((done) => {
        server.close(() => done());
        // A browser keeps its connections open; they must not hold the close up.
        server.closeAllConnections();
      }),
  };
}

async function serve(root, compress, request, response) {
  if (request.method !== 'GET' && request.method !== 'HEAD') {
    response.setHeader('Allow', 'GET, HEAD');
    return plain(response, 405, 'Only GET and HEAD\n');
  }
  const {pathname} = new URL(request.url, 'http://127.0.0.1/');
  let path;
  try {
    path = decodeURIComponent(pathname);
  } catch {
    return plain(response, 400, 'Bad path\n');
  }
  const file = resolve(root, `.${path}`);
  if (path.includes('\0') || (file !== root && !file.startsWith(root + sep))) {
    return plain(response, 403, 'Outside the served folder\n');
  }
  let target = file;
  let info = await stat(target).catch(() => null);
  if (info?.isDirectory()) {
    // As other servers do: a folder's relative links need the trailing slash.
    if (!pathname.endsWith('/')) {
      response.setHeader('Location', `${pathname}/`);
      return plain(response, 301, 'Moved\n');
    }
    target = resolve(file, 'index.html');
    info = await stat(target).catch(() => null);
  }
  if (!info?.isFile()) return plain(response, 404, 'Not found\n');

  const type = extname(target).toLowerCase();
  const compressible = compress && COMPRESSED.has(type);
  const gzip = compressible && /\bgzip\b/.test(request.headers['accept-encoding'] ?? '');
  response.writeHead(200, {
    'Content-Type': MIME_TYPES[type] ?? 'application/octet-stream',
    'Cache-Control': 'no-cache',
    ...(compressible && {Vary: 'Accept-Encoding'}),
    ...(gzip ? {'Content-Encoding': 'gzip'} : {'Content-Length': info.size}),
  });
  if (request.method === 'HEAD') return response.end();
  await new Promise((done, fail) => {
    const stream = createReadStream(target);
    stream.once('error', fail);
    response.once('close', done);
    if (gzip) stream.pipe(createGzip()).pipe(response);
    else stream.pipe(response);
  });
}

function plain(response, status, text) {
  response.writeHead(status, {'Content-Type': 'text/plain; charset=utf-8', 'Cache-Control': 'no-cache'});
  response.end(text);
}
