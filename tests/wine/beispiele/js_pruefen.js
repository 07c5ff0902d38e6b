// Runs the JavaScript example with input 2 of the simulated box pressed.
'use strict';
const koffi = require('koffi');

const box = koffi.load('umFish40.DLL');
box.func('int32_t __stdcall sim_eingang_setzen(int32_t nummer, int32_t wert)')(2, 1);
require('./beispiel.js');
