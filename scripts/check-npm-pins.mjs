// Fails when a package in a lock file is asked for by something that can move under it: a tag
// such as `latest`, a URL or an alias by tag, rather than a version or a range. `npm ci` refuses a
// lock whose tag has moved on, so such a dependency must be pinned by the package's
// `overrides` to the exact version the lock holds.
//
// Usage: node check-npm-pins.mjs DIR   (DIR holds package.json and package-lock.json;
// NODE_PATH must reach Debian's node-semver, as in /usr/share/nodejs)
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';

const semver = createRequire(import.meta.url)('semver');

// The version the lock installs for `name` as seen from the package at `path`: Node's own
// lookup, from the nearest node_modules outwards.
function resolved(lock, path, name) {
    for (let at = path; ; at = at.slice(0, Math.max(0, at.lastIndexOf('/node_modules/')))) {
        const entry = lock.packages[(at ? `${at}/` : '') + `node_modules/${name}`];
        if (entry) return entry.version;
        if (!at) return undefined;
    }
}

// The override that npm applies to `name` under the package `parent`: one nested under the
// parent's own name, else one for the name at the top level.
function override(overrides, parent, name) {
    const pick = (value) => (typeof value === 'object' && value !== null ? value['.'] : value);
    const nested = Object.entries(overrides).find(
        ([key, value]) => typeof value === 'object' && key.replace(/(.)@.*$/, '$1') === parent);
    return pick(nested?.[1]?.[name]) ?? pick(overrides[name]);
}

// An alias (`npm:string-width@^4.2.0`) asks for a version or range of another package's name.
const rangeOf = (asked) => asked.match(/^npm:(?:@[^/@]+\/)?[^@]+@(.*)$/)?.[1] ?? asked;

// Returns one line per dependency that is neither a version nor a range and is not pinned
// to the version in the lock.
export function unpinned(packageJson, lock) {
    const overrides = packageJson.overrides ?? {};
    const problems = [];
    for (const [path, entry] of Object.entries(lock.packages ?? {})) {
        const parent = path ? (entry.name ?? path.split('node_modules/').at(-1)) : packageJson.name;
        for (const field of ['dependencies', 'devDependencies', 'optionalDependencies', 'peerDependencies']) {
            for (const [name, asked] of Object.entries(entry[field] ?? {})) {
                if (semver.validRange(rangeOf(asked)) !== null) continue;
                const pin = override(overrides, parent, name);
                const version = resolved(lock, path, name);
                if (pin === undefined)
                    problems.push(`${name}: ${parent} asks for "${asked}", which can move; pin it ` +
                                  `with "overrides": { "${parent}": { "${name}": "${version}" } }`);
                else if (semver.valid(pin) === null || pin !== version)
                    problems.push(`${name}: overridden to "${pin}", but the lock holds ${version}`);
            }
        }
    }
    return problems;
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
    const dir = process.argv[2] ?? '.';
    const read = (file) => JSON.parse(readFileSync(join(dir, file), 'utf8'));
    const problems = unpinned(read('package.json'), read('package-lock.json'));
    for (const line of problems) console.error(`${join(dir, 'package-lock.json')}: ${line}`);
    process.exit(problems.length ? 1 : 0);
}
