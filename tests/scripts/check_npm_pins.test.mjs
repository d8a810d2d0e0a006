// The lock-file check on small locks: a dependency asked for by a tag must be pinned by
// `overrides` to the version the lock holds; versions and ranges need nothing.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { unpinned } from '../../scripts/check-npm-pins.mjs';

// A lock in which `tool` asks for `helper` by `asked`, and the lock holds helper 1.2.3, either
// beside tool or, with `nested`, inside it.
function lock(asked, { nested = false } = {}) {
    const helperAt = nested ? 'node_modules/tool/node_modules/helper' : 'node_modules/helper';
    return {
        lockfileVersion: 3,
        packages: {
            '': { name: 'app', devDependencies: { tool: '2.0.0' } },
            'node_modules/tool': { version: '2.0.0', dependencies: { helper: asked } },
            [helperAt]: { version: '1.2.3' },
        },
    };
}

const cases = [
    { name: 'a tag', asked: 'latest', overrides: undefined, fails: /helper: tool asks for "latest"/ },
    { name: 'another tag', asked: 'next', overrides: undefined, fails: /helper/ },
    { name: 'a URL', asked: 'https://example.invalid/helper.tgz', overrides: undefined, fails: /helper/ },
    { name: 'a tag pinned under its parent', asked: 'latest', overrides: { tool: { helper: '1.2.3' } } },
    { name: 'a tag pinned at the top level', asked: 'latest', overrides: { helper: '1.2.3' } },
    { name: 'a tag pinned under its parent at a version', asked: 'latest',
      overrides: { 'tool@2.0.0': { helper: '1.2.3' } } },
    { name: 'a tag pinned to another version than the lock', asked: 'latest',
      overrides: { tool: { helper: '1.2.4' } }, fails: /overridden to "1.2.4", but the lock holds 1.2.3/ },
    { name: 'a tag "pinned" to a range', asked: 'latest', overrides: { tool: { helper: '^1.2.3' } },
      fails: /overridden to "\^1.2.3"/ },
    { name: 'a tag pinned under another package', asked: 'latest', overrides: { other: { helper: '1.2.3' } },
      fails: /helper: tool asks for "latest"/ },
    { name: 'an exact version', asked: '1.2.3', overrides: undefined },
    { name: 'a caret range', asked: '^1.2.0', overrides: undefined },
    { name: 'a compound range', asked: '>=1.0.0 <2.0.0 || 3.x', overrides: undefined },
    { name: 'any version', asked: '*', overrides: undefined },
    { name: 'an alias to a range', asked: 'npm:other-helper@^1.2.0', overrides: undefined },
    { name: 'an alias to a scoped range', asked: 'npm:@scope/other@~1.2.0', overrides: undefined },
    { name: 'an alias to a tag', asked: 'npm:other-helper@latest', overrides: undefined, fails: /helper/ },
    { name: 'a nested copy pinned', asked: 'latest', nested: true, overrides: { tool: { helper: '1.2.3' } } },
];

for (const { name, asked, overrides, nested, fails } of cases) {
    test(name, () => {
        const problems = unpinned({ name: 'app', overrides }, lock(asked, { nested }));
        if (fails) {
            assert.equal(problems.length, 1, problems.join('\n'));
            assert.match(problems[0], fails);
        } else {
            assert.deepEqual(problems, []);
        }
    });
}

test('a tag in the project itself', () => {
    const project = lock('1.2.3');
    project.packages[''].devDependencies.tool = 'latest';
    assert.match(unpinned({ name: 'app' }, project).join('\n'), /tool: app asks for "latest"/);
});
