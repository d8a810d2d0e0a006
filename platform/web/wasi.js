// The few WASI calls a C++ program's library makes: no arguments, output to the console,
// and "not supported" for the rest. `memory` gives the program's memory, which may grow.
export function wasi(memory) {
  const decoder = new TextDecoder();
  const view = () => new DataView(memory().buffer);
  const lines = { 1: '', 2: '' };
  const calls = {
    args_sizes_get(count, size) {
      view().setUint32(count, 0, true);
      view().setUint32(size, 0, true);
      return 0;
    },
    args_get: () => 0,
    fd_write(fd, iovs, count, written) {
      let total = 0;
      for (let i = 0; i < count; i++) {
        const at = view().getUint32(iovs + i * 8, true);
        const size = view().getUint32(iovs + i * 8 + 4, true);
        lines[fd] = (lines[fd] ?? '') + decoder.decode(new Uint8Array(memory().buffer, at, size));
        total += size;
      }
      view().setUint32(written, total, true);
      const line = lines[fd].split('\n');
      lines[fd] = line.pop();
      line.forEach((l) => (fd === 2 ? console.error(l) : console.log(l)));
      return 0;
    },
    proc_exit(status) {
      throw new Error(`the program exited with status ${status}`);
    },
  };
  return new Proxy(calls, { get: (target, name) => target[name] ?? (() => 52) }); // ENOSYS
}
