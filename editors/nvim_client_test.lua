-- Run by nvim_client_test.sh inside headless Neovim: the set-up of docs/editors.md for Neovim 0.7
-- (vim.lsp.start_client and buf_attach_client), then what a user does. Writes one line per
-- finding to $RESULT and quits.
local out = {}
local function finish()
  vim.fn.writefile(out, vim.env.RESULT)
  vim.cmd('qall!')
end
local function wait_for(what, condition)
  if not vim.wait(30000, condition, 50) then
    table.insert(out, 'timed out waiting for ' .. what)
    finish()
  end
end

vim.cmd('edit ' .. vim.fn.fnameescape(vim.env.TRAIN_TEXT))
local buffer = vim.api.nvim_get_current_buf()
local exit_status
local client_id = vim.lsp.start_client({
  name = 'scengen',
  cmd = { vim.env.SCENGEN, 'lsp' },
  root_dir = vim.fn.fnamemodify(vim.env.TRAIN_TEXT, ':h'),
  on_exit = function(code) exit_status = code end,
})
vim.lsp.buf_attach_client(buffer, client_id)

wait_for('the diagnostics', function() return #vim.diagnostic.get(buffer) > 0 end)
local severities = { 'error', 'warning', 'information', 'hint' }
for _, d in ipairs(vim.diagnostic.get(buffer)) do
  table.insert(out, string.format('diagnostic: %d:%d %s', d.lnum + 1, d.col + 1, d.message))
  if d.source ~= 'scengen' or severities[d.severity] ~= 'warning' then
    table.insert(out, 'source ' .. tostring(d.source) .. ', severity ' .. tostring(d.severity))
  end
end

-- The user's way: the cursor on the warning, the code action menu, the did-you-mean entry.
local warning = vim.diagnostic.get(buffer)[1]
vim.api.nvim_win_set_cursor(0, { warning.lnum + 1, warning.col })
vim.ui.select = function(items, opts, on_choice)
  for _, item in ipairs(items) do
    local title = opts.format_item(item)
    if title:find('numero vetture', 1, true) then return on_choice(item) end
  end
  table.insert(out, 'no code action offers numero vetture')
  finish()
end
vim.lsp.buf.code_action()
wait_for('the quick fix', function()
  return vim.api.nvim_buf_get_lines(buffer, 1, 2, false)[1] ~= 'numero vettrue,    8'
end)
table.insert(out, 'line 2 after the quick fix: ' .. vim.api.nvim_buf_get_lines(buffer, 1, 2, false)[1])
wait_for('the diagnostics to clear', function() return #vim.diagnostic.get(buffer) == 0 end)
table.insert(out, 'diagnostics after the quick fix: ' .. #vim.diagnostic.get(buffer))
vim.cmd('write')

vim.lsp.stop_client(client_id)
wait_for('the server to end', function() return exit_status ~= nil end)
table.insert(out, 'server exit status: ' .. exit_status)
finish()
