CREATE TABLE `delete_marked` (
  `id` int(11) NOT NULL,
  `v` varchar(30) NOT NULL,
  `n` int(11) DEFAULT NULL,
  PRIMARY KEY (`id`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
;
