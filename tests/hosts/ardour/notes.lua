-- notes.lua DIR WORK PROGRAM FIRST SPACING: the sequencer off, notes from the test source at FIRST
-- and every SPACING samples; 2 bars into WORK/notes.wav.
local qv = dofile (arg[1] .. "/common.lua")
local work, program, first, spacing = arg[2], tonumber (arg[3]), tonumber (arg[4]), tonumber (arg[5])
local rate, tempo = 44100, 120
local src, fx = qv.create (work .. "/notes", "notes", rate, 512, tempo)
local plugin = qv.plugin (fx)
local preset = plugin:preset_by_uri (string.format ("VST:%d:%04d", plugin:unique_id (), program))
qv.check (preset and preset.valid and plugin:load_preset (preset), "cannot select program " .. program)
ARDOUR.LuaAPI.set_processor_param (fx, 36, 1) -- Step On Off: notes, not the sequencer
ARDOUR.LuaAPI.set_processor_param (src, 1, first)
ARDOUR.LuaAPI.set_processor_param (src, 2, spacing)
qv.export (work .. "/notes.wav", qv.bars (2, rate, tempo))
qv.close ()
