-- session.lua DIR WORK save: a session with every parameter set away from its program, saved, its
-- values in WORK/params.txt and its render in WORK/saved.wav.
-- session.lua DIR WORK reopen: the session opened in a new run restores all 42 values and renders
-- WORK/reopened.wav.
local qv = dofile (arg[1] .. "/common.lua")
local work, step = arg[2], arg[3]
local rate, tempo = 44100, 120
local values = work .. "/params.txt"
if step == "save" then
	local _, fx = qv.create (work .. "/session", "session", rate, 512, tempo)
	local plugin = qv.plugin (fx)
	local preset = plugin:preset_by_uri (string.format ("VST:%d:%04d", plugin:unique_id (), 8))
	qv.check (preset and preset.valid and plugin:load_preset (preset), "cannot select program 8")
	local f = io.open (values, "w")
	for i = 0, 41 do
		-- Away from the program's value; the sequencer stays on, the mix mostly wet.
		local v = (i * 37 % 101) / 100
		if i == 36 then v = 0 elseif i == 41 then v = 0.8 end
		ARDOUR.LuaAPI.set_processor_param (fx, i, v)
		f:write (string.format ("%.9g\n", ARDOUR.LuaAPI.get_processor_param (fx, i)))
	end
	f:close ()
	qv.check (Session:save_state ("", false, false, false, false, false) == 0, "the session was not saved")
	qv.export (work .. "/saved.wav", qv.bars (2, rate, tempo))
else
	local _, fx = qv.open (work .. "/session", "session", 512)
	local i = 0
	for line in io.lines (values) do
		local got = ARDOUR.LuaAPI.get_processor_param (fx, i)
		qv.check (math.abs (got - tonumber (line)) < 1e-6,
			string.format ("parameter %d: %.9g saved, %.9g restored", i, tonumber (line), got))
		i = i + 1
	end
	qv.check (i == 42, "saved values: " .. i)
	print ("all 42 parameters restored")
	qv.export (work .. "/reopened.wav", qv.bars (2, rate, tempo))
end
qv.close ()
