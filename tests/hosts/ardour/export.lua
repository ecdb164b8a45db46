-- Exports 8 bars through a factory program: export.lua DIR WORK RATE BLOCK TEMPO NUMERATOR
-- DENOMINATOR PROGRAM (into WORK/program-N.wav). One export per run: Ardour 7.3 may corrupt its heap on a second export in
-- the same session.
local qv = dofile (arg[1] .. "/common.lua")
local work, rate, block, tempo = arg[2], tonumber (arg[3]), tonumber (arg[4]), tonumber (arg[5])
local numerator, denominator = tonumber (arg[6]), tonumber (arg[7])
local program = tonumber (arg[8])
local _, fx = qv.create (string.format ("%s/export-%d", work, program), "export", rate, block, tempo,
	numerator, denominator)
local plugin = qv.plugin (fx)
local preset = plugin:preset_by_uri (string.format ("VST:%d:%04d", plugin:unique_id (), program))
qv.check (preset and preset.valid and plugin:load_preset (preset), "cannot select program " .. program)
qv.export (string.format ("%s/program-%d.wav", work, program),
	qv.bars (8 * numerator / denominator, rate, tempo))
qv.close ()
