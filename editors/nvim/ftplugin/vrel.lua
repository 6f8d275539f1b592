-- Neovim's own LSP client runs vrel-lsp for every Vrel buffer: the compiler's errors and the
-- server's warnings as you type, K for hover, gd for the definition, gr for the references,
-- CTRL-X CTRL-O for completion, :lua vim.lsp.buf.rename() to rename.
-- vim.g.vrel_lsp_cmd names another server command, as a list ({ '/opt/bin/vrel-lsp' }).
local buffer = vim.api.nvim_get_current_buf()
local config = {
  name = 'vrel-lsp',
  cmd = vim.g.vrel_lsp_cmd or { 'vrel-lsp' },
  root_dir = vim.fn.fnamemodify(vim.api.nvim_buf_get_name(buffer), ':p:h'),
  on_attach = function(_, attached)
    local function map(keys, action)
      vim.api.nvim_buf_set_keymap(attached, 'n', keys, '', { callback = action, silent = true })
    end
    map('K', vim.lsp.buf.hover)
    map('gd', vim.lsp.buf.definition)
    map('gr', vim.lsp.buf.references)
    vim.api.nvim_buf_set_option(attached, 'omnifunc', 'v:lua.vim.lsp.omnifunc')
  end,
}

if vim.lsp.start then
  -- Neovim 0.8 and later: one server for each folder, started for the first buffer.
  vim.lsp.start(config)
else
  -- Neovim 0.7: one server for the whole session, attached to each buffer.
  local client = vim.g.vrel_lsp_client and vim.lsp.get_client_by_id(vim.g.vrel_lsp_client)
  if not client or client.is_stopped() then
    vim.g.vrel_lsp_client = vim.lsp.start_client(config)
  end
  if vim.g.vrel_lsp_client then
    vim.lsp.buf_attach_client(buffer, vim.g.vrel_lsp_client)
  end
end
