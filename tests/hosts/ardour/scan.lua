-- The plug-in is found, with its 42 parameters and 30 programs (factory names first, "Empty" last).
local qv = dofile (arg[1] .. "/common.lua")
local work = arg[2]
local _, fx = qv.create (work .. "/scan", "scan", 44100, 512, 120)
local plugin = qv.plugin (fx)
qv.check (plugin:parameter_count () == 42, "parameters: " .. plugin:parameter_count ())
qv.check (plugin:name () == "Quorvalent", "name: " .. plugin:name ())
local programs, first, last = 0, "", ""
for i = 0, 63 do
	local preset = plugin:preset_by_uri (string.format ("VST:%d:%04d", plugin:unique_id (), i))
	if preset and preset.valid then
		programs = programs + 1
		if i == 0 then first = preset.label end
		last = preset.label
	end
end
qv.check (programs == 30, "programs: " .. programs)
qv.check (first == "Falling Drops" and last == "Empty", "program names " .. first .. " ... " .. last)
print ("found Quorvalent: 42 parameters, 30 programs")
qv.close ()
