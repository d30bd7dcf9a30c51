CREATE TABLE `dynamic_rows` (
  `id` int(11) NOT NULL,
  `name` varchar(100) NOT NULL,
  `note` text DEFAULT NULL,
  `n` int(11) DEFAULT NULL,
  PRIMARY KEY (`id`)
) ENGINE=MyISAM DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
;
