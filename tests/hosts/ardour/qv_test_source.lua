ardour {
	["type"]    = "dsp",
	name        = "QV Test Source",
	category    = "Utility",
	license     = "MIT",
	author      = "Quorvalent tests",
	description = [[A constant level on both channels while the transport rolls (silence otherwise), and optionally note 60 on at a first transport position and every so many samples after it, off half-way: a source the test host can play exactly alike.]]
}

function dsp_ioconfig ()
	return { { audio_in = 2, audio_out = 2, midi_in = 0, midi_out = 1 } }
end

function dsp_params ()
	return {
		{ ["type"] = "input", name = "Level", min = 0, max = 1, default = 0.5 },
		{ ["type"] = "input", name = "First note", min = -1, max = 16777216, default = -1, integer = true },
		{ ["type"] = "input", name = "Note spacing", min = 2, max = 16777216, default = 10000, integer = true },
	}
end

function dsp_run (ins, outs, n_samples)
	local ctrl = CtrlPorts:array ()
	local rolling = Session:transport_rolling ()
	local level = rolling and ctrl[1] or 0.0
	for c = 1, #outs do
		local b = outs[c]:array ()
		for s = 1, n_samples do b[s] = level end
	end
	local first, spacing = ctrl[2], ctrl[3]
	if not rolling or first < 0 then return end
	local pos = Session:transport_sample ()
	local n = 1
	for s = 0, n_samples - 1 do
		local t = pos + s - first
		if t >= 0 and t % spacing == 0 then
			midiout[n] = { time = s + 1, data = { 0x90, 60, 100 } }
			n = n + 1
		elseif t >= 0 and t % spacing == math.floor (spacing / 2) then
			midiout[n] = { time = s + 1, data = { 0x80, 60, 0 } }
			n = n + 1
		end
	end
end
