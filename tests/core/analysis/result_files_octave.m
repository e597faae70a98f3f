% Writes CombinedAnalysis.mat as GNU Octave saves it, once with -v6 and once with -v7
% (compressed), into <folder>/v6 and <folder>/v7, and every value into <folder>/expected.txt.
% Usage: octave-cli --no-gui --quiet result_files_octave.m <folder> [L N_DATA]
%
% The orientation and classes vary where a reader must accept either: columns saved as
% rows, lists as columns of cells, a list of records as a struct array, numbers as int32
% and single, text as Octave's own 2-byte characters.
1;

function dumpvalues(fid, name, k, x)
  x = x(:);
  for i = 1:numel(x)
    fprintf(fid, '%s %d %d %.17g %.17g\n', name, k, i, real(double(x(i))), imag(double(x(i))));
  end
end

function dumplist(fid, name, c)
  for k = 1:numel(c)
    dumpvalues(fid, name, k, c{k});
  end
end

function dumprecords(fid, name, r)
  for k = 1:numel(r)
    if iscell(r)
      s = r{k};
    else
      s = r(k);
    end
    dumpvalues(fid, [name '.value'], k, s.value);
    fprintf(fid, '%s.range %d text %s\n', name, k, s.range);
  end
end

function c = columns(n, L, seed)
  c = cell(1, n);
  for k = 1:n
    c{k} = sin((1:L)' * 0.37 * seed + k) * 10^(k - 2) + seed / 7;
  end
end

function r = records(n, seed)
  ranges = {'E   ', 'E-VG', 'G-F', 'EP-EP', 'VG-VG'};
  r = cell(1, n);
  for k = 1:n
    r{k} = struct('value', mod(k + seed, 6) + 1, 'range', ranges{mod(k + seed, numel(ranges)) + 1});
  end
end

args = argv();
folder = args{1};
N = 3;
L = 24;
if numel(args) >= 3
  L = str2double(args{2});
  N = str2double(args{3});
end
n = N + 1;

D = 0;
N_DATA = int32(N);
S_MARKER = 'rbgycmbkk';
Mfreq = linspace(1e3, 2.3e4, L) / 3;        % a row: orientation carries no meaning
Mdata = columns(n, L, 1)';                    % a column of cells
FFTnewdata = cell(1, n);
for k = 1:n
  FFTnewdata{k} = complex(cos((1:L)' / (k + 2)), sin((1:L)' * k / 5) / 3);
end
TotalFFT = num2cell(exp(-(1:n)) * 1e3);
breakpoint = (3:n + 2)';                      % a column
LowData = columns(n, L, 2);
HighData = columns(n, L, 3);
for k = 1:n
  HighData{k} = HighData{k}';                 % rows inside the cells
end
DC_data = columns(n, L, 4);
Alpha_ADM = pi * (1:n);                       % plain numbers rather than a cell
ADMi = columns(n, L, 5);
ADM_oldi = columns(n, L, 6);
FDMi = columns(n, L, 7);
GDMi = columns(n, L, 8);
ADMc = cell(1, n); FDMc = cell(1, n); GDMc = cell(1, n);
for k = 1:n
  h = [k 1 2 3 0 0.5] / (k + 6.5);
  ADMc{k} = h';
  FDMc{k} = fliplr(h);                        % a row
  GDMc{k} = h([2 1 3 4 6 5])';
end
ADMtot = num2cell(1 ./ (1:n));
FDMtot = num2cell(sqrt(1:n));
GDMtot = num2cell(log(1 + (1:n)));
Grade_ADM = records(n, 0);
Spread_ADM = [records(n, 1){:}];              % a struct array
Grade_FDM = records(n, 2);
Spread_FDM = records(n, 3);
Grade_GDM = records(n, 4);
Spread_GDM = records(n, 5);
Kadm = num2cell(1 ./ 2 .^ mod(0:n - 1, 3));
Kfdm = num2cell(single(1 ./ 2 .^ mod(1:n, 4)));  % single: exact in both classes
ParametersA = cell(1, n); ParametersF = cell(1, n); ParametersG = cell(1, n);
parameters_means = cell(1, n); parameters_median = cell(1, n);
for k = 1:n
  ParametersA{k} = [k; k / 3; k / 7];
  ParametersF{k} = [k / 11, k / 13, k / 17];  % a row
  ParametersG{k} = [1 / k; 2 / k; 3 / k];
  parameters_means{k} = [0.1 * k; 0.2 * k; 0.3 * k];
  parameters_median{k} = [k * 1e-3; k * 2e-3; k * 3e-3];
end

names = {'D', 'N_DATA', 'S_MARKER', 'Mfreq', 'Mdata', 'FFTnewdata', 'TotalFFT', 'breakpoint', ...
         'LowData', 'HighData', 'DC_data', 'Alpha_ADM', 'ADMi', 'ADMc', 'ADMtot', 'ADM_oldi', ...
         'FDMi', 'FDMc', 'FDMtot', 'GDMi', 'GDMc', 'GDMtot', 'Grade_ADM', 'Spread_ADM', ...
         'Grade_FDM', 'Spread_FDM', 'Grade_GDM', 'Spread_GDM', 'Kadm', 'Kfdm', 'ParametersA', ...
         'ParametersF', 'ParametersG', 'parameters_means', 'parameters_median'};
mkdir(fullfile(folder, 'v6'));
mkdir(fullfile(folder, 'v7'));
save('-v6', fullfile(folder, 'v6', 'CombinedAnalysis.mat'), names{:});
save('-v7', fullfile(folder, 'v7', 'CombinedAnalysis.mat'), names{:});

fid = fopen(fullfile(folder, 'expected.txt'), 'w');
dumpvalues(fid, 'D', 0, D);
dumpvalues(fid, 'N_DATA', 0, N_DATA);
fprintf(fid, 'S_MARKER 0 text %s\n', S_MARKER);
dumpvalues(fid, 'Mfreq', 0, Mfreq);
dumpvalues(fid, 'breakpoint', 0, breakpoint);
for name = {'Mdata', 'FFTnewdata', 'TotalFFT', 'LowData', 'HighData', 'DC_data', 'ADMi', 'ADMc', ...
            'ADMtot', 'ADM_oldi', 'FDMi', 'FDMc', 'FDMtot', 'GDMi', 'GDMc', 'GDMtot', 'Kadm', 'Kfdm', ...
            'ParametersA', 'ParametersF', 'ParametersG', 'parameters_means', 'parameters_median'}
  dumplist(fid, name{1}, eval(name{1}));
end
dumplist(fid, 'Alpha_ADM', num2cell(Alpha_ADM));
for name = {'Grade_ADM', 'Spread_ADM', 'Grade_FDM', 'Spread_FDM', 'Grade_GDM', 'Spread_GDM'}
  dumprecords(fid, name{1}, eval(name{1}));
end
fclose(fid);
