-- Exports 8 bars through each of the given factory programs: export.lua DIR WORK RATE BLOCK TEMPO
-- PROGRAM... (files WORK/program-N.wav).
local qv = dofile (arg[1] .. "/common.lua")
local work, rate, block, tempo = arg[2], tonumber (arg[3]), tonumber (arg[4]), tonumber (arg[5])
local _, fx = qv.create (work .. "/export", "export", rate, block, tempo)
local plugin = qv.plugin (fx)
for i = 6, #arg do
	local program = tonumber (arg[i])
	local preset = plugin:preset_by_uri (string.format ("VST:%d:%04d", plugin:unique_id (), program))
	qv.check (preset and preset.valid and plugin:load_preset (preset), "cannot select program " .. program)
	qv.export (string.format ("%s/program-%d.wav", work, program), qv.bars (8, rate, tempo))
end
qv.close ()
