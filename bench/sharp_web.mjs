// The web gallery's three outputs per photo made with sharp (libvips), for bench/compare_web:
// turned upright, then a 70 x 70 thumbnail and a 140 x 140 one at quality 60 and a display copy
// whose longer side is at most 1600 px (never enlarged) at quality 85, no metadata kept.
//   node bench/sharp_web.mjs --modules DIR [--mode clone|raw] [--in-flight N] OUT FILE...
// --modules: the directory whose node_modules holds sharp (npm install --prefix DIR sharp@0.34).
// --mode clone (default): one sharp instance per photo and clone() for each output, as sharp's
//   documentation shows it; each clone runs its own pipeline from the same input.
// --mode raw: the photo decoded once into upright raw pixels, each output resized from those.
// --in-flight N (default 2): photos worked on at once. Each pipeline gets one libvips thread
// (sharp.concurrency(1)); set UV_THREADPOOL_SIZE to N so that at most N pipelines run at once.
// Prints nothing on success; a photo that fails is named with sharp's message, and the run goes
// on and ends with status 1.
import { createRequire } from 'node:module';
import path from 'node:path';

const args = process.argv.slice(2);
let modules = '';
let mode = 'clone';
let inFlight = 2;
while (args.length > 0 && args[0].startsWith('--')) {
  const option = args.shift();
  const value = args.shift();
  if (option === '--modules') modules = value;
  else if (option === '--mode') mode = value;
  else if (option === '--in-flight') inFlight = Math.max(1, Number(value));
  else args.length = 0;
}
if (modules === '' || !['clone', 'raw'].includes(mode) || args.length < 2) {
  console.error(
    'usage: node sharp_web.mjs --modules DIR [--mode clone|raw] [--in-flight N] OUT FILE...');
  process.exit(2);
}
const [out, ...files] = args;
const sharp = createRequire(path.join(path.resolve(modules), 'package.json'))('sharp');
sharp.concurrency(1);

const outputs = [
  { suffix: '_thumb.jpg', size: 70, quality: 60 },
  { suffix: '_thumb@2x.jpg', size: 140, quality: 60 },
  { suffix: '.jpg', size: 1600, quality: 85, withoutEnlargement: true },
];

function target(file, output) {
  return path.join(out, path.parse(file).name + output.suffix);
}

function write(instance, file, output) {
  return instance
    .resize(output.size, output.size,
      { fit: 'inside', withoutEnlargement: output.withoutEnlargement === true })
    .jpeg({ quality: output.quality })
    .toFile(target(file, output));
}

async function makeClone(file) {
  const photo = sharp(file).autoOrient();
  await Promise.all(outputs.map((output) => write(photo.clone(), file, output)));
}

async function makeRaw(file) {
  const { data, info } =
    await sharp(file).autoOrient().raw().toBuffer({ resolveWithObject: true });
  const raw = { width: info.width, height: info.height, channels: info.channels };
  await Promise.all(outputs.map((output) => write(sharp(data, { raw }), file, output)));
}

const make = mode === 'raw' ? makeRaw : makeClone;
let next = 0;
let failed = 0;
async function worker() {
  while (next < files.length) {
    const file = files[next++];
    try {
      await make(file);
    } catch (error) {
      console.error(`${file}: ${error.message}`);
      ++failed;
    }
  }
}
await Promise.all(Array.from({ length: inFlight }, worker));
process.exit(failed > 0 ? 1 : 0);
