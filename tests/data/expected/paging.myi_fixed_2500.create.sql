CREATE TABLE `myi_fixed_2500` (
  `id` int(11) NOT NULL,
  `name` char(12) NOT NULL,
  `n` int(11) DEFAULT NULL,
  PRIMARY KEY (`id`)
) ENGINE=MyISAM DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
;
