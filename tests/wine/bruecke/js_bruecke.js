// Runs the JavaScript example through the bridge, from the example's folder
// (the current one, with koffi). The bridge is loaded first, by its path, so
// that lumbrik.dll's umFish40.DLL is the module already loaded; input 2 is
// pressed by the model the helper inherits.
'use strict';
const path = require('path');
const hier = require('module').createRequire(path.join(process.cwd(), 'js_bruecke.js'));

hier('koffi').load(process.env.LUMBRIK_BRUECKE);
hier('./beispiel.js');
