-- Shared by the session scripts: the Dummy backend, a session whose one bus carries the test
-- source into Quorvalent, and exports as 32-bit float WAV.
local M = {}

function M.fail (why)
	print ("FAIL: " .. why)
	os.exit (1)
end

function M.check (ok, why)
	if not ok then M.fail (why) end
end

local function engine (block)
	ARDOUR.config ():set_hide_dummy_backend (false)
	local backend = AudioEngine:set_backend ("None (Dummy)", "", "")
	M.check (backend and not backend:isnil (), "no Dummy backend")
	backend:set_device_name ("Silence")
	backend:set_buffer_size (block)
	return backend
end

local function find (bus)
	local src = bus:nth_plugin (0)
	local fx = bus:nth_plugin (1)
	M.check (not src:isnil () and not fx:isnil (), "the bus lacks its source or Quorvalent")
	M.check (fx:display_name () == "Quorvalent", "second plug-in is " .. fx:display_name ())
	return src, fx
end

-- A new session at `rate`, `block` samples per cycle, `tempo` and a meter (4/4 when not given):
-- returns the source and the plug-in processors.
function M.create (dir, name, rate, block, tempo, numerator, denominator)
	local backend = engine (block)
	M.check (create_session (dir, name, rate), "cannot create the session")
	M.check (backend:buffer_size () == block, "block size " .. backend:buffer_size ())
	local map = Temporal.TempoMap.write_copy ()
	map:set_tempo (Temporal.Tempo (tempo, tempo, 4), Temporal.timepos_t (0))
	if numerator then
		map:set_meter (Temporal.Meter (numerator, denominator), Temporal.timepos_t (0))
	end
	Temporal.TempoMap.update (map)
	local bus = Session:new_audio_route (2, 2, nil, 1, "Quorvalent", ARDOUR.PresentationInfo.Flag.AudioBus,
		ARDOUR.PresentationInfo.max_order):front ()
	local src = ARDOUR.LuaAPI.new_luaproc (Session, "QV Test Source")
	M.check (not src:isnil (), "the test source script is not found")
	bus:add_processor_by_index (src, 0, nil, true)
	local fx = ARDOUR.LuaAPI.new_plugin (Session, "Quorvalent", ARDOUR.PluginType.LXVST, "")
	M.check (not fx:isnil (), "Quorvalent is not found")
	bus:add_processor_by_index (fx, 1, nil, true)
	return find (bus)
end

-- A saved session, opened again.
function M.open (dir, name, block)
	engine (block)
	M.check (load_session (dir, name), "cannot open the session")
	local bus = Session:route_by_name ("Quorvalent")
	M.check (not bus:isnil (), "the bus is gone")
	return find (bus)
end

function M.plugin (fx)
	return fx:to_plugininsert ():plugin (0)
end

-- Lets the engine run a few cycles, so that what the script changed has reached the process
-- thread before the next step.
function M.settle ()
	M.check (ARDOUR.LuaAPI.wait_for_process_callback (8, 5000), "the engine does not process")
end

-- Exports the first `frames` samples of the master bus into `path`.
--
-- Careful: an export object must outlive the running engine. Collected while the engine runs, its
-- port channels free buffers the process thread may still touch, and the heap is corrupted; so
-- every export is kept until `close` has stopped the engine.
local exports = {}
function M.export (path, frames)
	M.settle ()
	local folder = path .. ".d"
	os.execute ("mkdir -p '" .. folder .. "'")
	local e = Session:simple_export ()
	exports[#exports + 1] = e
	e:set_folder (folder)
	e:set_range (0, frames)
	M.check (e:set_preset ("6a1f4c1e-9b53-4a8e-a8c4-51e2b0a7d001"), "no float WAV export preset")
	M.check (e:check_outputs (), "nothing to export")
	M.check (e:run_export (), "the export failed")
	M.check (os.rename (folder .. "/export.wav", path), "the export wrote no " .. folder .. "/export.wav")
	os.remove (folder)
	M.settle ()
end

-- Closes the session and stops the engine, then lets go of the exports.
function M.close ()
	M.settle ()
	close_session ()
	AudioEngine:stop (false)
	exports = {}
	collectgarbage ()
end

-- The frames of `bars` bars of four quarter notes.
function M.bars (bars, rate, tempo)
	return math.floor (bars * 4 * 60 / tempo * rate + 0.5)
end

return M
