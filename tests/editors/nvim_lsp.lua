-- Run by run.sh in a scratch folder, with editors/vim and editors/nvim on the runtimepath:
-- Neovim's LSP client, started by editors/nvim/ftplugin/vrel.lua, gets vrel-lsp's diagnostic
-- for average.vrel, whose line 7 reads an undefined name; once the line is mended the
-- diagnostic goes, hover on `total` gives its declaration and the definition jump lands on it.
local function check(ok, ...)
  if not ok then
    error(string.format(...), 2)
  end
end

local function run()
  vim.cmd('filetype plugin on')
  vim.cmd('edit average.vrel')
  local buffer = vim.api.nvim_get_current_buf()
  check(vim.bo.filetype == 'vrel', 'filetype %s', vim.bo.filetype)

  check(vim.wait(10000, function() return #vim.diagnostic.get(buffer) > 0 end, 20),
    'no diagnostic')
  local found = vim.tbl_map(function(d) return { d.lnum, d.col, d.end_col, d.severity, d.message } end,
    vim.diagnostic.get(buffer))
  -- Line 7 begins with a tab, one UTF-16 unit: `totl` is at 0-based character 9 of line 6.
  local wanted = { { 6, 9, 13, vim.diagnostic.severity.ERROR, 'undefined variable totl' } }
  check(vim.deep_equal(found, wanted), 'diagnostics %s', vim.inspect(found))

  vim.api.nvim_buf_set_lines(buffer, 6, 7, false, { '\ttotal = total + x;' })
  check(vim.wait(10000, function() return #vim.diagnostic.get(buffer) == 0 end, 20),
    'the mended line keeps %s', vim.inspect(vim.diagnostic.get(buffer)))

  -- `total` in line 8, `  writeInteger(total);`
  vim.api.nvim_win_set_cursor(0, { 8, 16 })
  local replies = vim.lsp.buf_request_sync(buffer, 'textDocument/hover',
    vim.lsp.util.make_position_params(), 5000)
  local hover = ''
  for _, reply in pairs(replies or {}) do
    if reply.result then
      hover = hover .. table.concat(vim.lsp.util.convert_input_to_markdown_lines(reply.result.contents), '\n')
    end
  end
  check(hover:find('total : int', 1, true), 'hover %q', hover)

  vim.lsp.buf.definition()
  check(vim.wait(5000, function() return vim.api.nvim_win_get_cursor(0)[1] ~= 8 end, 20),
    'no definition jump')
  local cursor = vim.api.nvim_win_get_cursor(0)
  check(cursor[1] == 2 and cursor[2] == 2, 'definition at %s', vim.inspect(cursor))
end

local ok, problem = pcall(run)
if not ok then
  io.stderr:write(tostring(problem) .. '\n')
  vim.cmd('cquit')
end
print('diagnostic, hover and definition as expected')
vim.cmd('qall!')
